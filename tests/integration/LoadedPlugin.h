// Loads the built plug-in binary through its entry point for the integration tests.
#pragma once

#include "host/HostedPlugin.h"
#include "host/PluginLibrary.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace brelvik::test {

struct LoadedPlugin {
    std::unique_ptr<host::PluginLibrary> library;
    std::unique_ptr<host::HostedPlugin> plugin; // declared last: closed before the library unloads
};

// Fails the calling test (and leaves the members null) when loading fails.
inline LoadedPlugin loadBuiltPlugin(const host::HostOptions& options = {})
{
    LoadedPlugin loaded;
    std::string error;
    loaded.library = host::PluginLibrary::open(BRELVIK_PLUGIN_PATH, error);
    if (!loaded.library) {
        ADD_FAILURE() << error;
        return loaded;
    }
    loaded.plugin = host::HostedPlugin::load(*loaded.library, options, error);
    if (!loaded.plugin)
        ADD_FAILURE() << error;
    return loaded;
}

class BuiltPlugin : public ::testing::Test {
protected:
    void SetUp() override
    {
        loaded_ = loadBuiltPlugin();
        ASSERT_NE(loaded_.plugin, nullptr);
    }

    host::HostedPlugin& plugin() { return *loaded_.plugin; }
    AEffect& effect() { return *loaded_.plugin->effect(); }

    LoadedPlugin loaded_;
};

} // namespace brelvik::test
