// LilvTestHost: world, bundle and instance lifetime.
#include "tests/lv2/LilvTestHost.h"

LilvTestHost::LilvTestHost(const std::string& bundleDir, const std::string& uri) : lilvWorld(lilv_world_new()) {
    LilvNode* bundle = lilv_new_file_uri(lilvWorld, nullptr, (bundleDir + "/").c_str());
    lilv_world_load_bundle(lilvWorld, bundle);
    lilv_node_free(bundle);
    LilvNode* pluginUri = lilv_new_uri(lilvWorld, uri.c_str());
    found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(lilvWorld), pluginUri);
    lilv_node_free(pluginUri);
}

LilvTestHost::~LilvTestHost() {
    if (current) lilv_instance_free(current);
    lilv_world_free(lilvWorld);
}

LilvInstance* LilvTestHost::instantiate(double rate) {
    if (current) lilv_instance_free(current);
    current = found ? lilv_plugin_instantiate(found, rate, nullptr) : nullptr;
    return current;
}

int LilvTestHost::portIndex(const char* symbol) const {
    LilvNode* name = lilv_new_string(lilvWorld, symbol);
    const LilvPort* port = lilv_plugin_get_port_by_symbol(found, name);
    lilv_node_free(name);
    return port ? static_cast<int>(lilv_port_get_index(found, port)) : -1;
}
