// The auditor identifiers of the canvas toolbar's controls: the names by which the toolbar
// refreshes its controls and its auditor recognises them.
#ifndef OIVWINTAV_DUICANVASTOOLBARIDS_H
#define OIVWINTAV_DUICANVASTOOLBARIDS_H

namespace DuiCanvasToolbarIds {
constexpr const char* kToolbar = "AID_canvastoolbar";
constexpr const char* kAltColor = "AID_altcolor";
constexpr const char* kBackground = "AID_background";
constexpr const char* kCopyBitmap = "AID_copybitmap";
constexpr const char* kSaveScene = "AID_savescene";
constexpr const char* kHome = "AID_home";
constexpr const char* kSetHome = "AID_sethome";
constexpr const char* kViewAll = "AID_viewall";
constexpr const char* kSetPosition = "AID_setposition";
constexpr const char* kPosition = "AID_position";
constexpr const char* kKeepFocus = "AID_keepfocus";
constexpr const char* kTargetZoom = "AID_targetzoom";
constexpr const char* kCameraType = "AID_cameratype";
constexpr const char* kAntiRoll = "AID_antiroll";
constexpr const char* kZScale = "AID_zscale";
constexpr const char* kStickyCursor = "AID_stickycursor";
constexpr const char* kStickyCursorNormal = "AID_stickycursornormal";
constexpr const char* kStickyCursorProperties = "AID_stickycursorproperties";
constexpr const char* kAxis = "AID_axis";
constexpr const char* kAxisProperties = "AID_axisproperties";
constexpr const char* kCompass = "AID_compass";
constexpr const char* kCompassProperties = "AID_compassproperties";
constexpr const char* kGiro = "AID_giro";
constexpr const char* kGiroProperties = "AID_giroproperties";
} // namespace DuiCanvasToolbarIds

#endif // OIVWINTAV_DUICANVASTOOLBARIDS_H
