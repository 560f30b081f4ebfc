#pragma once

// Whether this build runs under AddressSanitizer: helper processes then get no address-space
// limit, since the sanitizer reserves far more address space than any limit allows.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizerBuild = true;
#else
inline constexpr bool kAddressSanitizerBuild = false;
#endif
#else
inline constexpr bool kAddressSanitizerBuild = false;
#endif
