// OivWinTav: every public class of the library, for hosts that include one header.
#ifndef OIVWINTAV_OIVWINTAV_H
#define OIVWINTAV_OIVWINTAV_H

#include "camera/OivCameraControl.h"
#include "scene/OivBaseSceneManager.h"

#endif // OIVWINTAV_OIVWINTAV_H
