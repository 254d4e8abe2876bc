// The auditor identifiers of the test dialog's controls.
#ifndef OIVWINTAV_DUIMAINTESTIDS_H
#define OIVWINTAV_DUIMAINTESTIDS_H

namespace DuiMainTestIds {
constexpr const char* kTabs = "AID_testdialog_tab";
constexpr const char* kExit = "AID_exit";
} // namespace DuiMainTestIds

#endif // OIVWINTAV_DUIMAINTESTIDS_H
