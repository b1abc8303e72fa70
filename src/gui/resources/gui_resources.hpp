#pragma once

namespace verdanel::gui {

// Makes the pictures compiled into the windows library reachable under
// ":/verdanel/" (a static library's resources are not registered on their
// own). Cheap to call again.
void registerResources();

}  // namespace verdanel::gui
