#include "setup/command_line.h"

#include <cstring>
#include <string>

#include "framework/afx_mbcs.h"
#include "hosts/host_release.h"

const char kSetupCommandLineHelp[] =
    "SetUp.exe [/VERYSILENT | /S | /SILENT] [/SUPPRESSMSGBOXES] [/NORESTART]\n"
    "          [/DIR=\"<文件夹>\"] [/COMPONENTS=2024,2025,2026] [/LOG[=\"<文件>\"]]\n"
    "          [/ALLOWDOWNGRADE] [/? | /HELP]\n\n"
    "/VERYSILENT, /S    无界面安装\n"
    "/SILENT            只显示进度的安装\n"
    "/DIR=\"<文件夹>\"    安装到 <文件夹>\\T-ZozerIded（默认：上次的文件夹，否则 C:\\Torvex）\n"
    "/COMPONENTS=...    要安装的CAD版本（默认：本机找到的全部）\n"
    "/LOG[=\"<文件>\"]    写日志（默认：%TEMP%\\Torvex-Setup-<时间>.log）\n"
    "/ALLOWDOWNGRADE    允许用旧版本替换已安装的新版本（回退）\n\n"
    "退出代码：0 成功，1602 已取消，1603 失败，1618 请稍后再试，1639 命令行错误，"
    "350 请先重启计算机再运行，1638 已安装较新的版本";
const char kUninstallerCommandLineHelp[] =
    "Uninstall.exe [/VERYSILENT | /S | /SILENT] [/LOG[=\"<文件>\"]]\n"
    "              [/REPAIR | /MODIFY [/COMPONENTS=2024,2025,2026] | /VERIFY]\n\n"
    "/REPAIR            修复：放回缺少或已更改的文件和注册表项\n"
    "/MODIFY            更改要安装的CAD版本（默认：已安装的版本）\n"
    "（修复和更改使用安装文件夹中保存的安装包）\n"
    "/VERIFY            检查安装是否完整，不作任何更改，不显示窗口（结果写入日志）\n\n"
    "退出代码：0 成功，3010 需重启，1602 已取消，1603 失败，1618 请稍后再试，1639 命令行错误，"
    "350 请先重启计算机再运行；/VERIFY：0 完整，1 有缺少或已更改的项，1603 没有可检查的安装";

namespace {

constexpr size_t kYearDigits = 4;

enum class Value { None, Optional, Required };
// Which program takes a switch.
enum class Taker { Both, Setup, Uninstaller };

struct Switch {
    const char* name;
    Value value;
    Taker taker;
    // Takes the switch's value into the command line; false when it is bad.
    bool (*apply)(const std::string& value, CommandLine* out);
    // Why the switch is refused when `apply` says no.
    const char* refused = "bad value";
};

// The uninstaller's tasks exclude each other.
bool SetTask(UninstallerTask task, CommandLine* out) {
    if (out->task != UninstallerTask::Uninstall && out->task != task) return false;
    out->task = task;
    return true;
}

bool ParseYears(const std::string& list, std::vector<int>* years) {
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const std::string item = list.substr(start, comma - start);
        if (item.empty() || item.size() > kYearDigits ||
            item.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        const int year = std::stoi(item);
        HostRelease release;
        if (!HostReleaseFromYear(year, &release)) return false;
        years->push_back(year);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

const Switch kSwitches[] = {
    {"VERYSILENT", Value::None, Taker::Both,
     [](const std::string&, CommandLine* out) { return out->mode = RunMode::VerySilent, true; }},
    {"S", Value::None, Taker::Both,
     [](const std::string&, CommandLine* out) { return out->mode = RunMode::VerySilent, true; }},
    {"SILENT", Value::None, Taker::Both,
     [](const std::string&, CommandLine* out) {
         // The quieter of the two wins, whatever their order.
         if (out->mode != RunMode::VerySilent) out->mode = RunMode::Silent;
         return true;
     }},
    // Accepted: no box is ever shown in the silent modes, and the program
    // never restarts the machine.
    {"SUPPRESSMSGBOXES", Value::None, Taker::Both,
     [](const std::string&, CommandLine*) { return true; }},
    {"NORESTART", Value::None, Taker::Both, [](const std::string&, CommandLine*) { return true; }},
    {"?", Value::None, Taker::Both,
     [](const std::string&, CommandLine* out) { return out->help = true; }},
    {"HELP", Value::None, Taker::Both,
     [](const std::string&, CommandLine* out) { return out->help = true; }},
    {"LOG", Value::Optional, Taker::Both,
     [](const std::string& value, CommandLine* out) {
         out->log = true;
         out->logPath = CString(value);
         return true;
     }},
    {"DIR", Value::Required, Taker::Setup,
     [](const std::string& value, CommandLine* out) {
         out->hasFolder = true;
         out->folder = CString(value);
         return true;
     }},
    // The uninstaller's only with /MODIFY (checked once the whole line is read).
    {"COMPONENTS", Value::Required, Taker::Both,
     [](const std::string& value, CommandLine* out) {
         out->hasComponents = true;
         return ParseYears(value, &out->years);
     }},
    {"REPAIR", Value::None, Taker::Uninstaller,
     [](const std::string&, CommandLine* out) { return SetTask(UninstallerTask::Repair, out); },
     "not with /MODIFY or /VERIFY"},
    {"MODIFY", Value::None, Taker::Uninstaller,
     [](const std::string&, CommandLine* out) { return SetTask(UninstallerTask::Modify, out); },
     "not with /REPAIR or /VERIFY"},
    // A check that changes nothing: never a window, always a log.
    {"VERIFY", Value::None, Taker::Uninstaller,
     [](const std::string&, CommandLine* out) {
         out->mode = RunMode::VerySilent;
         return SetTask(UninstallerTask::Verify, out);
     },
     "not with /REPAIR or /MODIFY"},
    // An older version over a newer one: IT's rollback of a bad release.
    {"ALLOWDOWNGRADE", Value::None, Taker::Setup,
     [](const std::string&, CommandLine* out) { return out->allowDowngrade = true; }},
    // The uninstaller's second process, started from its temporary copy.
    {"SECONDPHASE", Value::Required, Taker::Uninstaller,
     [](const std::string& value, CommandLine* out) {
         out->secondPhaseFolder = CString(value);
         return true;
     }},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The next argument: blanks end it outside quotes; the quotes themselves go.
// Double-byte characters are stepped over whole.
const char* NextArgument(const char* p, std::string* argument) {
    argument->clear();
    while (IsBlank(*p)) ++p;
    bool quoted = false;
    while (*p && (quoted || !IsBlank(*p))) {
        const int length = afx::MbsCharLength(p);
        if (length == 1 && *p == '"') {
            quoted = !quoted;
        } else {
            argument->append(p, static_cast<size_t>(length));
        }
        p += length;
    }
    return p;
}

bool SameName(const std::string& a, const char* b) {
    return afx::MbsICmp(a.c_str(), b) == 0;
}

}  // namespace

const char* ArgumentsOf(const char* commandLine) {
    const char* p = commandLine ? commandLine : "";
    bool quoted = false;
    while (*p && (quoted || !IsBlank(*p))) {
        if (*p == '"') quoted = !quoted;
        p += afx::MbsCharLength(p);
    }
    while (IsBlank(*p)) ++p;
    return p;
}

bool ParseCommandLine(const char* arguments, CommandLineKind kind, CommandLine* out,
                      CString* error) {
    *out = CommandLine();
    *error = CString();
    const Taker taker = kind == CommandLineKind::Setup ? Taker::Setup : Taker::Uninstaller;
    std::string argument;
    // The whole line is read even after a bad argument: a silent switch
    // anywhere keeps every window away, and /LOG anywhere says where the
    // refusal goes. The first bad argument is the one named.
    for (const char* p = arguments ? arguments : ""; *p;) {
        p = NextArgument(p, &argument);
        if (argument.empty()) continue;
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const bool hasValue = equals != std::string::npos;
        const std::string value = hasValue ? argument.substr(equals + 1) : std::string();
        const Switch* known = nullptr;
        if (name.size() > 1 && (name[0] == '/' || name[0] == '-')) {
            for (const Switch& s : kSwitches) {
                if (SameName(name.substr(1), s.name)) known = &s;
            }
        }
        const char* why = nullptr;
        if (!known) {
            why = "unknown switch";
        } else if (known->taker != Taker::Both && known->taker != taker) {
            why = kind == CommandLineKind::Setup ? "not a switch of the setup"
                                                 : "not a switch of the uninstaller";
        } else if (!known->apply(value, out)) {
            why = known->refused;
        } else if (known->value == Value::None && hasValue) {
            why = "takes no value";
        } else if (known->value == Value::Required && value.empty()) {
            why = "needs a value";
        }
        if (why && error->IsEmpty()) error->Format("%s: %s", argument.c_str(), why);
    }
    // A repair serves the releases installed; only a modify chooses.
    if (error->IsEmpty() && kind == CommandLineKind::Uninstaller && out->hasComponents &&
        out->task != UninstallerTask::Modify) {
        *error = "/COMPONENTS: only with /MODIFY";
    }
    return error->IsEmpty();
}

CString TaskArguments(const CommandLine& commandLine) {
    CString arguments;
    switch (commandLine.task) {
        case UninstallerTask::Uninstall:
            return arguments;
        case UninstallerTask::Repair:
            return " /REPAIR";
        case UninstallerTask::Verify:
            return " /VERIFY";
        case UninstallerTask::Modify:
            arguments = " /MODIFY";
            break;
    }
    for (size_t i = 0; i < commandLine.years.size(); ++i) {
        arguments += i == 0 ? " /COMPONENTS=" : ",";
        arguments += std::to_string(commandLine.years[i]).c_str();
    }
    return arguments;
}
