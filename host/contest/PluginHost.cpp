#include "contest/PluginHost.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>

namespace qarvel {

namespace {

QString ShortTextToQString(const zelmar::ShortText& t) {
    return QString::fromLocal8Bit(t.chars, t.length);
}

} // namespace

PluginHost::~PluginHost() {
    ReleaseAll();
}

void PluginHost::LoadFolder(const QString& folder) {
    const QDir dir(folder);
    const QStringList files = dir.entryList({QStringLiteral("*.so")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        auto plugin = std::make_unique<LoadedPlugin>();
        plugin->library = std::make_unique<QLibrary>(dir.absoluteFilePath(file));
        if (!plugin->library->load()) {
            problems_ << QStringLiteral("%1: %2").arg(file, plugin->library->errorString());
            continue;
        }
        auto resolve = [&](const char* name) {
            QFunctionPointer f = plugin->library->resolve(name);
            if (!f)
                problems_ << QStringLiteral("%1: no entry point %2").arg(file, QLatin1String(name));
            return f;
        };
        plugin->GetInfo = reinterpret_cast<LoadedPlugin::GetInfoFn>(resolve("_GetInfo"));
        plugin->Run = reinterpret_cast<LoadedPlugin::RunFn>(resolve("_Run"));
        plugin->AddQSO = reinterpret_cast<LoadedPlugin::ScoreFn>(resolve("_AddQSO"));
        plugin->GetScore = reinterpret_cast<LoadedPlugin::ScoreFn>(resolve("_GetScore"));
        plugin->GrabNumber = reinterpret_cast<LoadedPlugin::GrabNumberFn>(resolve("_GrabNumber"));
        plugin->Release = reinterpret_cast<LoadedPlugin::ReleaseFn>(resolve("_Release"));
        if (!plugin->GetInfo || !plugin->Run || !plugin->AddQSO || !plugin->GetScore ||
            !plugin->GrabNumber || !plugin->Release) {
            plugin->library->unload();
            continue;
        }
        zelmar::TPluginInfo info{};
        plugin->GetInfo(&info);
        plugin->title = ShortTextToQString(info.Title);
        plugin->kind = ShortTextToQString(info.PluginKind);
        plugins_.push_back(std::move(plugin));
    }
}

LoadedPlugin* PluginHost::FindKind(const QString& kind) {
    for (auto& p : plugins_)
        if (p->kind == kind)
            return p.get();
    return nullptr;
}

void PluginHost::ReleaseAll() {
    for (auto& p : plugins_)
        p->Release();
    // The modules destroy their windows with deleteLater(): let that happen
    // while their code is still mapped.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (auto& p : plugins_)
        p->library->unload();
    plugins_.clear();
}

} // namespace qarvel
