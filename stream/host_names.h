#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

// IPv4 addresses as 32-bit integers in host order: 127.0.0.1 is 0x7F000001.

// "127.0.0.1": the four bytes in decimal, the highest first.
std::u16string DottedAddress(int32_t address);
// Every IPv4 address of the name, in the resolver's order; empty when it does not resolve.
std::vector<int32_t> HostAddresses(std::u16string_view name);
// Entry `index` of HostAddresses, or 0 when there is none (also for a negative index).
int32_t HostAddress(std::u16string_view name, int32_t index);
// The name a reverse lookup gives for the address, or the empty text.
std::u16string HostNameOf(int32_t address);

}  // namespace qrv
