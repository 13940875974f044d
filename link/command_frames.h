// The bytes of the command frames the program sends.
#pragma once

#include <cstdint>
#include <vector>

// The frame of a command: the fixed 7-byte identify, test and check frames,
// or the 6-byte header (command, address, length, check) of every other
// command. Only the low 16 bits of address and length go on the wire.
std::vector<std::uint8_t> BuildCommandFrame(std::uint8_t command, std::int32_t address, std::int32_t length);

// True for the commands that are a fixed frame with no header fields.
bool IsFixedFrame(std::uint8_t command);

// The checksum that ends a data phase: the two's complement of the 8-bit sum,
// or the 32-bit sum sent most significant byte first.
std::vector<std::uint8_t> DataPhaseChecksum(const std::uint8_t* data, std::int32_t length, bool fourBytes);
