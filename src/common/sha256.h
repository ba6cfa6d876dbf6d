// SHA-256, for the one-way forms of the passwords and the keyed check words.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

using Sha256Digest = std::array<uint8_t, 32>;

Sha256Digest Sha256(std::string_view data);
// HMAC-SHA-256 of data under key.
Sha256Digest HmacSha256(std::string_view key, std::string_view data);
