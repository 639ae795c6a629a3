// Ids of the framework tests' own dialog template.
#pragma once

#define IDD_FRAMEWORK_TEST 100
#define IDC_TEST_BOX 201
#define IDC_TEST_EDIT 202
#define IDC_TEST_ACT 203
#define IDC_TEST_PROGRESS 204
#define IDC_TEST_HIDDEN_PROGRESS 205
