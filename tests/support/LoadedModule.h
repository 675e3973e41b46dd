#pragma once

#include "plugin/PluginRecord.h"

#include <dlfcn.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zelmar::testing {

// The built module, loaded by path with dlopen and driven through its six
// exported names exactly as a host would.
class LoadedModule {
public:
    using GetInfoFn = void (*)(TPluginInfo*);
    using RunFn = std::uintptr_t (*)(std::int32_t, const TPluginRecord*);
    using ScoreFn = std::int32_t (*)(const TPluginRecord*);
    using GrabNumberFn = void (*)(const TPluginRecord*, unsigned char*);
    using ReleaseFn = void (*)();

    explicit LoadedModule(const std::string& path) {
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_)
            throw std::runtime_error(std::string("dlopen: ") + dlerror());
        GetInfo = Resolve<GetInfoFn>("_GetInfo");
        Run = Resolve<RunFn>("_Run");
        AddQSO = Resolve<ScoreFn>("_AddQSO");
        GetScore = Resolve<ScoreFn>("_GetScore");
        GrabNumber = Resolve<GrabNumberFn>("_GrabNumber");
        Release = Resolve<ReleaseFn>("_Release");
    }
    ~LoadedModule() {
        if (handle_)
            dlclose(handle_);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    static std::string DefaultPath() {
        if (const char* build = std::getenv("ZELMAR_BUILD_DIR"))
            return std::string(build) + "/Plugins/ZelmarContest.so";
#ifdef ZELMAR_TEST_BUILD_DIR
        return std::string(ZELMAR_TEST_BUILD_DIR) + "/Plugins/ZelmarContest.so";
#else
        return "./Plugins/ZelmarContest.so";
#endif
    }

    GetInfoFn GetInfo = nullptr;
    RunFn Run = nullptr;
    ScoreFn AddQSO = nullptr;
    ScoreFn GetScore = nullptr;
    GrabNumberFn GrabNumber = nullptr;
    ReleaseFn Release = nullptr;

private:
    template <typename F> F Resolve(const char* name) {
        void* p = dlsym(handle_, name);
        if (!p)
            throw std::runtime_error(std::string("missing export ") + name);
        return reinterpret_cast<F>(p);
    }
    void* handle_ = nullptr;
};

} // namespace zelmar::testing
