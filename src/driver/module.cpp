// The module's one export and its attach and detach.
#include "config/serial_port.h"
#include "config/station_info.h"
#include "config/vfda_drv_doc.h"
#include "driver/driver_instances.h"
#include "driver/entry_functions.h"
#include "host_link/host_binding.h"
#include "platform/export.h"
#include "platform/module_entry.h"
#include "resources/module_resources.h"
#include "toolkit/extension_module.h"

extern "C" {
// Filled at attach, not by static initialisation: a host reads it after loading the module.
VFDA_EXPORT drv::Entry DrvFuncTable[drv::kSlotCount];
}

namespace {

CExtensionModule g_module;
resources::ModuleResources g_resources;
CDynLinkLibrary* g_chainLink = nullptr;

} // namespace

bool OnModuleAttach(void* moduleHandle) {
    driver::FillEntryTable(DrvFuncTable);
    if (!AfxInitExtensionModule(g_module, moduleHandle)) {
        return false;
    }
    g_module.m_classes = {RUNTIME_CLASS(CVfdaDrvDoc), RUNTIME_CLASS(CStationInfo),
                          RUNTIME_CLASS(CSerialPort)};
    g_module.m_resources = &g_resources;
    g_chainLink = new CDynLinkLibrary(g_module);
    return true;
}

// Running instances are stopped before anything they use goes away: their threads call the
// host's libraries and read the documents' stations.
void OnModuleDetach() {
    driver::DriverInstances::Instance().StopAll();
    driver::HostBinding::Instance().ReleaseAll();
    driver::DriverInstances::Instance().DeleteAll();
    AfxTermExtensionModule(g_module);
    delete g_chainLink;
    g_chainLink = nullptr;
}

// The host's libraries were loaded after the module, so their objects (a log kept in a C++
// global) are already destroyed: the threads are stopped without a word to the host. The
// documents and the libraries stay as they are: the process takes them back.
void OnProcessExit() {
    driver::HostBinding::Instance().LetGo();
    driver::DriverInstances::Instance().StopAll();
}
