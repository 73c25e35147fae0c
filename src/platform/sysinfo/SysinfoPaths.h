#pragma once
// Where the system readers look: the procfs and sysfs roots and the home directory whose volume
// the storage figures describe. Tests and benchmarks point them at fixture trees; the product
// uses the defaults.
#include <QString>

namespace velk {

struct SysinfoPaths {
    QString procRoot = QStringLiteral("/proc");
    QString sysRoot = QStringLiteral("/sys");
    // Empty means the user's home directory as the process sees it.
    QString home;

    QString homeDirectory() const;

    // The paths every reader uses unless given others. Overridable process-wide so that the
    // argument-less statistics functions can be run against fixture trees.
    static SysinfoPaths current();
    static void setCurrent(const SysinfoPaths& paths);
    static void resetCurrent();
};

// Restores the default paths when a scope ends (tests).
class SysinfoPathsOverride {
public:
    explicit SysinfoPathsOverride(const SysinfoPaths& paths) { SysinfoPaths::setCurrent(paths); }
    ~SysinfoPathsOverride() { SysinfoPaths::resetCurrent(); }
    SysinfoPathsOverride(const SysinfoPathsOverride&) = delete;
    SysinfoPathsOverride& operator=(const SysinfoPathsOverride&) = delete;
};

} // namespace velk
