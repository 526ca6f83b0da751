#include "cmdline/cmd_options.h"

#include "system/file_utils.h"
#include "system/text.h"

namespace cmdline {

namespace {
constexpr std::size_t HelpNameWidth = 20;
constexpr const char* LineEnd = "\r\n";
}  // namespace

TItem::TItem(std::string name, std::string helpText)
    : Name(std::move(name)), HelpText(std::move(helpText)) {}

bool TItem::Parse(const std::string&) { return false; }

std::string TItem::HelpName() const { return Name; }

TBoolItem::TBoolItem(std::string name, std::string helpText, bool& target)
    : TItem(std::move(name), std::move(helpText)), Target(target) {}

bool TBoolItem::Parse(const std::string& argument) {
    if (sys::SameText(argument, Name)) {
        Target = true;
        return true;
    }
    if (sys::SameText(argument, Name + "-")) {
        Target = false;
        return true;
    }
    return false;
}

TStringItem::TStringItem(std::string name, std::string helpText, std::string& target)
    : TItem(std::move(name), std::move(helpText)), Target(target) {}

bool TStringItem::Parse(const std::string& argument) {
    if (!sys::StartsWithText(argument, Name, true)) return false;
    Target = argument.substr(Name.size());
    return true;
}

std::string TStringItem::HelpName() const { return Name + "X"; }

TDirItem::TDirItem(std::string name, std::string helpText, std::string& target,
                   platform::FileSystem& files)
    : TStringItem(std::move(name), std::move(helpText), target), Files(files) {}

bool TDirItem::Parse(const std::string& argument) {
    const std::string previous = Target;
    if (!TStringItem::Parse(argument)) return false;
    if (!sys::DirExists(Files, Target)) Target = previous;
    return true;
}

class TCmdOptions::TableScope {
public:
    explicit TableScope(TCmdOptions& options) : Options(options) { Options.BuildOptionTable(); }
    ~TableScope() { Options.Items.clear(); }
    TableScope(const TableScope&) = delete;
    TableScope& operator=(const TableScope&) = delete;

private:
    TCmdOptions& Options;
};

TCmdOptions::TCmdOptions(platform::FileSystem& files) : Files(files) {}

void TCmdOptions::BuildOptionTable() {
    AddBoolOption("--ignore-ide", "Start installer even if Delphi/BCB is running.", IgnoreIDE);
    AddBoolOption("--ignore-bcb", "Do not display and compile BCB versions.", IgnoreBCB);
    AddBoolOption("--ignore-delphi", "Do not display and compile Delphi versions.", IgnoreDelphi);
    AddSeparator();
    AddDirOption("--jcl-path=", "Set the JCL root directory to X.", JclPath);
    AddBoolOption("--keep-files", "Do not call \"clean\".", KeepFiles);
    AddBoolOption("--autoupdate", "Updates all IDEs where ZIRE 3 is installed.", AutoUpdate);
    AddSeparator();
    AddStringOption("-rDelphi=", "Sets the Registry path for the Delphi IDEs.", RegistryDelphi);
    AddStringOption("-rBCB=", "Sets the Registry path for the BCB IDEs.", RegistryBCB);
    AddStringOption("-rBDS=", "Sets the Registry path for the BDS IDEs. (-rBDS=Win32Only)",
                    RegistryBDS);
    AddStringOption("--lang=", "Sets the Installer's language to X.", Lang);
    AddBoolOption("--help", "Show this screen.", ShowHelp);
    AddBoolOption("/?", "", ShowHelp);
    AddBoolOption("-h", "", ShowHelp);
}

void TCmdOptions::AddBoolOption(const std::string& name, const std::string& helpText,
                                bool& target) {
    Items.push_back(std::make_unique<TBoolItem>(name, helpText, target));
}

void TCmdOptions::AddDirOption(const std::string& name, const std::string& helpText,
                               std::string& target) {
    Items.push_back(std::make_unique<TDirItem>(name, helpText, target, Files));
}

void TCmdOptions::AddStringOption(const std::string& name, const std::string& helpText,
                                  std::string& target) {
    Items.push_back(std::make_unique<TStringItem>(name, helpText, target));
}

void TCmdOptions::AddSeparator() { Items.push_back(std::make_unique<TItem>("", "")); }

void TCmdOptions::Parse(const std::vector<std::string>& arguments) {
    TableScope table(*this);
    for (const auto& argument : arguments) {
        for (const auto& item : Items)
            if (item->Parse(argument)) break;
    }
}

std::string TCmdOptions::HelpScreen() {
    TableScope table(*this);
    std::string screen = LineEnd;
    for (const auto& item : Items) {
        if (item->Name.empty()) screen += LineEnd;
        if (item->HelpText.empty()) continue;
        std::string left = item->HelpName();
        if (left.size() < HelpNameWidth) left.resize(HelpNameWidth, ' ');
        screen += left + "  " + item->HelpText + LineEnd;
    }
    return screen + LineEnd;
}

}  // namespace cmdline
