#!/usr/bin/env bash
# Writes the seed inputs of rigid2d-fuzz-world into fuzz/corpus/, in the byte layout described at
# the top of fuzzworld.cpp: a few scenes that reach each kind of contact and each special case.
set -euo pipefail
out="$(dirname "$0")/corpus"
mkdir -p "$out"

byte() { printf "\\x$(printf %02x $(($1 & 255)))"; }
u16() { byte "$1"; byte "$(($1 >> 8))"; }
f32bits() { byte "$1"; byte "$(($1 >> 8))"; byte "$(($1 >> 16))"; byte "$(($1 >> 24))"; }
# Sane values, inverted from the decoder's formulas.
coordinate() { u16 "$(($1 * 16))"; } # near the origin, whole units
velocity() { u16 "$(($1 * 64))"; }   # whole units per step
# A whole number as the decoder's log scale: mantissa byte, then exponent byte (from -bias).
log_scale() {
  local value=$1 bias=$2 k=0
  while (((1 << (k + 1)) <= value)); do k=$((k + 1)); done
  byte $((256 * (value - (1 << k)) / (1 << k)))
  byte $((k + bias))
}
radius() { log_scale "$1" 3; }
size() { log_scale "$1" 1; }
mass() { u16 "$(($1 - 1))"; }        # in 1/1024
header() { byte "$(($1 - 1))"; byte "$2"; byte "$3"; } # steps, capacity byte, flags

# kind bits: 1 rectangle, 2 static last, 4/8/12 mass setting, 16/32/48 placement, 64 gravity
# scale, 128 force.
rect_at() { byte $((1 | 2)); size "$1"; size "$2"; coordinate "$3"; coordinate "$4"; velocity 0; velocity 0; }
circle_at() { byte 8; radius "$1"; coordinate "$2"; coordinate "$3"; velocity "$4"; velocity "$5"; mass 20; }

# A floor, a wall and circles falling onto it and onto each other.
{
  header 40 0 0
  rect_at 1080 15 100 50
  rect_at 15 400 100 80
  circle_at 30 130 90 0 -5
  circle_at 30 200 140 1 -3
  circle_at 30 230 170 -1 -4
  circle_at 30 118 200 -2 0
} >"$out/floor-and-circles"

# Circles on the same centre as an earlier circle: exactly, and a tiny bit off.
{
  header 10 0 0
  circle_at 30 0 0 0 0
  byte $((8 | 16)); radius 30; byte 0; byte 0; byte 0; velocity 0; velocity 1; mass 20
  byte $((8 | 16)); radius 10; byte 0; byte 1; byte 255; velocity 2; velocity 0; mass 40
} >"$out/coincident-centres"

# Circle centres inside a rectangle, on its edge and on its corner.
{
  header 12 0 0
  rect_at 200 100 0 0
  byte $((8 | 32)); radius 30; byte 0; byte 128; byte 128; velocity 0; velocity 0; mass 20
  byte $((8 | 32)); radius 30; byte 0; byte 0; byte 77; velocity 1; velocity 0; mass 20
  byte $((8 | 32)); radius 5; byte 0; byte 255; byte 255; velocity 0; velocity 0; mass 20
} >"$out/centres-in-rectangle"

# Overlapping bodies that cannot move: mass 0, never set, and static with a mass.
{
  header 8 0 0
  byte 4; radius 30; coordinate 0; coordinate 0; velocity 1; velocity 0
  byte 0; radius 30; coordinate 20; coordinate 0; velocity -1; velocity 0
  byte $((12 | 2)); radius 30; coordinate 10; coordinate 10; velocity 0; velocity 0; mass 64
  rect_at 40 40 0 0
} >"$out/immovable-pairs"

# An array of capacity 3 offered six bodies: the last three are not added.
{
  header 5 $((0xC0 | 3)) 0
  for x in 0 40 80 120 160 200; do circle_at 25 "$x" 0 0 0; done
} >"$out/full-array"

# Gravity scale and force on a circle resting on a floor.
{
  header 30 0 0
  rect_at 500 20 0 0
  byte $((8 | 64 | 128)); radius 10; coordinate 50; coordinate 29; velocity 0; velocity 0; mass 1024
  byte 16; u16 64; u16 -128
} >"$out/gravity-and-force"

# Raw values: NaN and infinite coordinates, an infinite radius, a huge position, a negative
# rectangle size and a denormal mass.
{
  header 6 0 1
  byte 8; f32bits 0x41f00000; f32bits 0x7fc00000; f32bits 0; f32bits 0; f32bits 0; f32bits 1
  byte 8; f32bits 0x7f800000; f32bits 0; f32bits 0; f32bits 0; f32bits 0; f32bits 0x3f800000
  byte 8; f32bits 0x41f00000; f32bits 0x7149f2ca; f32bits 0; f32bits 0; f32bits 0; f32bits 0x3f800000
  byte 3; f32bits -200; f32bits 100; f32bits 0; f32bits 0; f32bits 0; f32bits 0
  byte 8; f32bits 0x41f00000; f32bits 0; f32bits 0xff800000; f32bits 0; f32bits 0; f32bits 0x3f800000
} >"$out/wild-values"

# A body alone: no pair at all to test.
{
  header 3 0 0
  circle_at 30 0 0 1 1
} >"$out/single-body"
