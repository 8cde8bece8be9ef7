#pragma once

#include <QIcon>
#include <QPixmap>

#include "engine/pass_display.h"

namespace vorn::gui {

/// The program's pictures, drawn rather than shipped as files.
QIcon TrayIcon(TrayState state);
QIcon StartIcon();
QIcon StopIcon();
QPixmap DefaultIntervalImage();
QPixmap SpecificIntervalImage();
QPixmap MacintoshImage();
QPixmap ArrowImage();
QPixmap ServiceImage();
QPixmap ApplicationImage();
/// The Macintosh picture: a happy face where Macintosh volumes are
/// supported, a sad one elsewhere.
QPixmap MacintoshSupportImage(bool supported);

}  // namespace vorn::gui
