// Every class of the dialog toolkit, for code that includes one header.
#ifndef OIVWINTAV_SODIALOGVIZALL_H
#define OIVWINTAV_SODIALOGVIZALL_H

#include <DialogViz/auditors/SoDialogAuditor.h>
#include <DialogViz/dialog/SoColumnDialog.h>
#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogComboBox.h>
#include <DialogViz/dialog/SoDialogComponent.h>
#include <DialogViz/dialog/SoDialogGroup.h>
#include <DialogViz/dialog/SoDialogLabel.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <DialogViz/dialog/SoDialogSeparator.h>
#include <DialogViz/dialog/SoDialogViz.h>
#include <DialogViz/dialog/SoMessageDialog.h>
#include <DialogViz/dialog/SoRowDialog.h>
#include <DialogViz/dialog/SoTabDialog.h>
#include <DialogViz/dialog/SoTopLevelDialog.h>

#endif // OIVWINTAV_SODIALOGVIZALL_H
