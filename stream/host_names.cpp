#include "stream/host_names.h"

#include <array>
#include <chrono>
#include <future>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include "core/text.h"
#include "stream/socket_headers.h"
#include "stream/socket_platform.h"

namespace qrv {
namespace {

struct AddressInfoDeleter {
    void operator()(addrinfo* info) const { ::freeaddrinfo(info); }
};

// Without sockets (in a browser) names are not looked up: Emscripten's resolver makes up an
// address for any name, which leads nowhere.
std::vector<int32_t> PlatformAddresses(const std::string& name) {
    if (platform::NoSocketsReason()) return {};
    platform::StartSockets();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;  // one entry per address instead of one per socket type
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return {};
    const std::unique_ptr<addrinfo, AddressInfoDeleter> owner(found);

    std::vector<int32_t> addresses;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        addresses.push_back(static_cast<int32_t>(ntohl(address->sin_addr.s_addr)));
    }
    return addresses;
}

THostResolver hostResolver = PlatformAddresses;

}  // namespace

std::u16string DottedAddress(int32_t address) {
    const auto bits = static_cast<uint32_t>(address);
    std::u16string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (!text.empty()) text += u'.';
        text += FromLatin1(std::to_string(bits >> shift & 0xFF));
    }
    return text;
}

std::vector<int32_t> HostAddresses(std::u16string_view name) {
    return HostAddressesWithin(name, 0);
}

std::vector<int32_t> HostAddressesWithin(std::u16string_view name, int32_t timeoutMillis) {
    std::string narrow = ToUtf8(name);
    // A name with a zero inside would be cut short by the resolver and name another host.
    if (narrow.empty() || narrow.find('\0') != std::string::npos) return {};
    if (timeoutMillis <= 0) return hostResolver(narrow);
    // The task owns the name and the resolver, so nothing it uses goes away when the wait ends.
    std::packaged_task<std::vector<int32_t>()> lookup(
        [resolve = hostResolver, narrow = std::move(narrow)] { return resolve(narrow); });
    std::future<std::vector<int32_t>> answer = lookup.get_future();
    try {
        std::thread(std::move(lookup)).detach();
    } catch (const std::system_error&) {
        return {};
    }
    if (answer.wait_for(std::chrono::milliseconds(timeoutMillis)) != std::future_status::ready) return {};
    return answer.get();
}

THostResolver SetHostResolver(THostResolver resolver) {
    return std::exchange(hostResolver, resolver ? std::move(resolver) : THostResolver(PlatformAddresses));
}

int32_t HostAddress(std::u16string_view name, int32_t index) {
    if (index < 0) return 0;
    const std::vector<int32_t> addresses = HostAddresses(name);
    return static_cast<size_t>(index) < addresses.size() ? addresses[static_cast<size_t>(index)] : 0;
}

std::u16string HostNameOf(int32_t address) {
    if (platform::NoSocketsReason()) return {};
    platform::StartSockets();
    sockaddr_in name{};
    name.sin_family = AF_INET;
    name.sin_addr.s_addr = htonl(static_cast<uint32_t>(address));
    std::array<char, NI_MAXHOST> host{};
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&name), sizeof name, host.data(), host.size(),
                      nullptr, 0, NI_NAMEREQD) != 0) {
        return {};
    }
    return FromUtf8(host.data());
}

}  // namespace qrv
