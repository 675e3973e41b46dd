#pragma once

#include "plugin/PluginRecord.h"

#include <QLibrary>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

namespace qarvel {

// One module loaded from the Plugins folder, with its six entry points.
struct LoadedPlugin {
    using GetInfoFn = void (*)(zelmar::TPluginInfo*);
    using RunFn = std::uintptr_t (*)(std::int32_t, const zelmar::TPluginRecord*);
    using ScoreFn = std::int32_t (*)(const zelmar::TPluginRecord*);
    using GrabNumberFn = void (*)(const zelmar::TPluginRecord*, unsigned char*);
    using ReleaseFn = void (*)();

    std::unique_ptr<QLibrary> library;
    QString title;
    QString kind;
    GetInfoFn GetInfo = nullptr;
    RunFn Run = nullptr;
    ScoreFn AddQSO = nullptr;
    ScoreFn GetScore = nullptr;
    GrabNumberFn GrabNumber = nullptr;
    ReleaseFn Release = nullptr;
};

// Loads every module in a folder; a module that cannot be loaded or lacks an
// entry point is reported in Problems() and skipped.
class PluginHost {
public:
    ~PluginHost();

    void LoadFolder(const QString& folder);
    // The first module of that kind, or null.
    LoadedPlugin* FindKind(const QString& kind);
    const std::vector<std::unique_ptr<LoadedPlugin>>& Plugins() const { return plugins_; }
    const QStringList& Problems() const { return problems_; }

    // Releases every module, lets their deferred deletions run, then
    // unloads them.
    void ReleaseAll();

private:
    std::vector<std::unique_ptr<LoadedPlugin>> plugins_;
    QStringList problems_;
};

} // namespace qarvel
