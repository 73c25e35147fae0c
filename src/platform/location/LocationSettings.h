#pragma once
// The desktop's location privacy settings, where the desktop has such a page (GNOME's
// Settings › Location). Opening happens in the background and is never waited for.
namespace velk {

class LocationSettings {
public:
    // False when this desktop has no such page to open.
    static bool open();
};

} // namespace velk
