#include "app/Resources.h"

#include <QtGlobal>

void loadResources() {
    static const bool loaded = [] {
        Q_INIT_RESOURCE(app);
        return true;
    }();
    Q_UNUSED(loaded);
}
