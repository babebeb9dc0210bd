#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

// IPv4 addresses as 32-bit integers in host order: 127.0.0.1 is 0x7F000001.

// "127.0.0.1": the four bytes in decimal, the highest first.
std::u16string DottedAddress(int32_t address);
// Every IPv4 address of the name, in the resolver's order; empty when it does not resolve, and
// always where the platform has no sockets (SocketsUnavailableReason).
std::vector<int32_t> HostAddresses(std::u16string_view name);
// As HostAddresses, but gives up after `timeoutMillis` (0 or less: waits without limit) and gives
// none then. A resolver that does not answer cannot be interrupted: it goes on in a thread of its
// own, and its answer is dropped when it comes.
std::vector<int32_t> HostAddressesWithin(std::u16string_view name, int32_t timeoutMillis);
// Entry `index` of HostAddresses, or 0 when there is none (also for a negative index).
int32_t HostAddress(std::u16string_view name, int32_t index);
// What turns a name (UTF-8, never empty, no zero inside) into its IPv4 addresses for the lookups
// above: the platform's resolver unless another is set, for instance by a test that needs one
// that never answers.
using THostResolver = std::function<std::vector<int32_t>(const std::string& name)>;
// Sets the resolver; call it while no lookup runs. None restores the platform's. Gives the
// resolver it replaces.
THostResolver SetHostResolver(THostResolver resolver);
// The name a reverse lookup gives for the address, or the empty text.
std::u16string HostNameOf(int32_t address);

}  // namespace qrv
