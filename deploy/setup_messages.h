// The caption of the setup program's own message boxes.
#pragma once

constexpr char kSetupBoxCaption[] = "T-软件安装";
