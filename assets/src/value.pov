// SPDX-License-Identifier: GPL-3.0-or-later
// One glossy ball for a board cell.  render.sh declares:
//   Diameter  - ball diameter in 1x pixels (0 = empty cell)
//   Blue      - 0 for the red side, 1 for the blue side
// The camera is orthographic and spans exactly 64 x 63 scene units, so one
// unit is one pixel at 1x (two at @2x) and the diameter lands exactly.
#version 3.7;

#ifndef (Diameter) #declare Diameter = 32; #end
#ifndef (Blue)     #declare Blue = 0; #end

#include "balls.inc"

global_settings { assumed_gamma 1.0 max_trace_level 5 }
background { rgb 0 }

camera {
  orthographic
  location <0, 0, -100>
  direction z
  right 64 * x
  up 63 * y
}

// Scene x = 0 falls between pixel columns 31 and 32, y = 0 on the middle of
// row 31.  An odd diameter is moved half a pixel right so it covers whole
// pixels on both sides.
#declare Shift = (mod(Diameter, 2) = 1 ? 0.5 : 0);

BallLights(<0, 0, 0>)

#if (Diameter > 0)
  object {
    // The smallest ball gets a broader highlight, or its one bright
    // pixel would be lost to antialiasing.
    BallShine(Diameter / 2, (Blue ? BlueBody : RedBody), (Diameter < 14 ? 30 : 60))
    translate <Shift, 0, 0>
  }
#end
