#include "NotificationCenter.h"

NotificationCenter &NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}
