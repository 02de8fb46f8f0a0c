// SPDX-License-Identifier: GPL-3.0-or-later
// Program icon: a red ball at the upper left in front of a larger blue
// ball at the lower right, on a transparent background (+UA).
// render.sh declares Size (the icon's edge in pixels): the smallest icons
// get a broader highlight so they still show a shine instead of turning
// into two flat smudges.
#version 3.7;
#ifndef (Size) #declare Size = 256; #end
#include "balls.inc"
global_settings { assumed_gamma 1.0 }
background { rgbt <0, 0, 0, 1> }

camera { orthographic location <0, 0, -10> direction z right x up y }

BallLights(<0, 0, 0>)

#declare Small = (Size < 32);
#declare Shine = (Small ? 12 : (Size < 64 ? 25 : 60));
#declare BlueR = 0.34;
#declare RedR  = 0.26;

// Brighter than on the board: an icon sits on light and dark panels alike.
object { BallShine(BlueR, BlueBody * 1.45, Shine) translate < 0.14, -0.14, 0> }
// In front, and casting no shadow: a dark bite out of the blue ball reads
// as a defect at 16 px.
object { BallShine(RedR, RedBody * 1.35, Shine) no_shadow translate <-0.22, 0.22, -0.5> }
