#include "gui/resources/gui_resources.hpp"

#include <QtGlobal>

static void registerVerdanelResources() { Q_INIT_RESOURCE(verdanel); }

namespace verdanel::gui {

void registerResources() {
    static const bool registered = [] {
        registerVerdanelResources();
        return true;
    }();
    (void)registered;
}

}  // namespace verdanel::gui
