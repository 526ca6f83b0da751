#pragma once
// The product's own source units: the base names of the C++ headers a C++Builder build writes,
// and of the units and forms the sample product ships.

#include <array>
#include <string_view>

namespace engine {

inline constexpr std::array<std::string_view, 49> ProductUnitNames = {
    "QvBase",       "QvConsts",     "QvUtils",      "QvStrings",    "QvGraphics",
    "QvControls",   "QvButtons",    "QvEdits",      "QvMaskEdit",   "QvSpinEdit",
    "QvComboBox",   "QvListBox",    "QvCheckList",  "QvTreeView",   "QvListView",
    "QvGrid",       "QvGridColumns", "QvDBGrid",    "QvDBControls", "QvDBNavigator",
    "QvDataLink",   "QvLookup",     "QvCalendar",   "QvDatePicker", "QvTimePicker",
    "QvCalculator", "QvColorPicker", "QvFontPicker", "QvSplitter",  "QvPanels",
    "QvTabs",       "QvPageControl", "QvToolBar",   "QvStatusBar",  "QvMenus",
    "QvDialogs",    "QvMessageDlg", "QvProgress",   "QvTrackBar",   "QvLabels",
    "QvImages",     "QvHints",      "QvAnimation",  "QvPrinting",   "QvReports",
    "QvExport",     "QvIniStore",   "QvRegStore",   "QvReg",
};

}  // namespace engine
