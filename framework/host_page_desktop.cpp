#include "framework/host_page.h"

namespace qrv {

void ConnectHostPage() {}

}  // namespace qrv
