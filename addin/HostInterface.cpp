#include "HostInterface.h"

#include "Exception.h"

#include <memory>

TIToolServices* ToolServices = nullptr;

namespace {
// The host the package is bound to; copied so the caller's struct need not outlive the call.
TPackageHost BoundHost;
bool HostBound = false;
} // namespace

void RegisterLibraryExpert(TIExpert* expert) {
    std::unique_ptr<TIExpert> owned(expert);
    if (!HostBound || BoundHost.registerLibraryExpert == nullptr)
        throw Exception("No host to register the expert with");
    // From here on the host owns the expert, also when the call fails.
    BoundHost.registerLibraryExpert(BoundHost.context, owned.release());
}

void BindPackageHost(const TPackageHost* host) {
    if (host != nullptr) {
        BoundHost = *host;
        HostBound = true;
        ToolServices = host->toolServices;
    } else {
        BoundHost = TPackageHost{};
        HostBound = false;
        ToolServices = nullptr;
    }
}
