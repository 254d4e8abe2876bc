// OivWinTav: every public class of the library, and the companion node library's init call
// (OivTav::init), for hosts that include one header.
#ifndef OIVWINTAV_OIVWINTAV_H
#define OIVWINTAV_OIVWINTAV_H

#include "camera/OivBaseCanvasGroup.h"
#include "camera/OivCameraControl.h"
#include "camera/OivCanvasGroup.h"
#include "canvas/OivBaseCanvas.h"
#include "canvas/OivCanvas.h"
#include "canvas/OivCanvasDialogLink.h"
#include "canvas/OivCanvasObserver.h"
#include "dui/DuiBaseDialog.h"
#include "dui/DuiBaseDialogAuditor.h"
#include "dui/DuiCanvasToolbar.h"
#include "dui/DuiCanvasToolbarAuditor.h"
#include "dui/DuiIvVrmlFile.h"
#include "dui/DuiIvVrmlFileAuditor.h"
#include "dui/DuiMainTest.h"
#include "dui/DuiMainTestAuditor.h"
#include "dui/DuiVideoRecorder.h"
#include "dui/DuiVideoRecorderAuditor.h"
#include "dui/OivBaseUnitTest.h"
#include "scene/OivBaseSceneManager.h"
#include "scene/OivSceneManager.h"
#include "tav/OivTav.h"
#include "video/OivVideoRecorder.h"
#include "viewers/OivWinCurveViewer.h"
#include "viewers/OivWinExaminerViewer.h"
#include "viewers/OivWinPlaneViewer.h"
#include "viewers/OivWinViewerSupport.h"
#include "viewers/OivWindow.h"
#include "viewers/OivWindowViewer.h"

#endif // OIVWINTAV_OIVWINTAV_H
