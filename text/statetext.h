#pragma once

#include "math/rotation.h"
#include "math/vec2.h"

#include <cstdint>     // std::uint64_t
#include <string>      // std::string
#include <string_view> // std::string_view

class EntityArray;
struct SandboxState;

// The text that shows a simulation's state to the last bit, and its hash. Every program that
// prints, records or checks a state goes through these, so a state printed by rigid2d-trace, the
// hash in a recorded session and what the tests compare are the same bytes.
//
// One line per body in array order, "index type px py vx vy" and a line feed, the floats as C's
// "%a" prints them as doubles (0x1.9p+7, -0x1.47ae14p-6, 0x0p+0). A body that has turned or spins
// adds its orientation's cosine and sine and its spin, "index type px py vx vy c s w": a body that
// never turned, as every body under the designed solver, prints as it always did. Unlike printf,
// the text does not depend on the C locale, whose decimal point could otherwise turn "." into ",".

// f as "%a" prints static_cast<double>(f) in the C locale.
std::string toHexFloat(float f);

// Whether a body's line carries its orientation and spin.
bool hasTurned(Rotation rotation, float angularVelocity);

// Appends one body's line, line feed included.
void appendStateLine(std::string &text, int index, int type, Vec2 position, Vec2 velocity,
                     Rotation rotation, float angularVelocity);

// Every body's line, in array order.
std::string stateText(const EntityArray &bodies);
// The same for the bodies a state was taken from.
std::string stateText(const SandboxState &state);

// 64-bit FNV-1a: offset basis 0xcbf29ce484222325, prime 0x100000001b3.
std::uint64_t fnv1a(std::string_view bytes);

// 16 lower-case hex digits, leading zeros included.
std::string hashDigits(std::uint64_t hash);

// fnv1a(stateText()): the state's hash, which replays and saved states carry.
std::uint64_t stateHash(const EntityArray &bodies);
std::uint64_t stateHash(const SandboxState &state);
