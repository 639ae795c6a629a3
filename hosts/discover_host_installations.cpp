// The program's one discovery, into its one record. A file of its own: only
// SetUp.exe, which defines the record, calls it.
#include "hosts/host_discovery.h"

void DiscoverHostInstallations(std::vector<RefusedHostFolder>* refused) {
    DiscoverHostInstallationsInto(theHostRegistry, refused);
}
