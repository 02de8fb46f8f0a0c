// SPDX-License-Identifier: GPL-3.0-or-later
// Toolbar "new game": two dark balls, the left one lit red from below,
// the right one bluish, under a grey strip of light.
#version 3.7;
#include "balls.inc"
global_settings { assumed_gamma 1.0 max_trace_level 6 }
background { rgb 0 }

camera { location <0, 0.55, -6.2> look_at <0, -0.05, 0> right x * image_width / image_height angle 40 }

light_source { <-8, 10, -10> rgb 1.0 }
// The red glow under the left ball, kept off everything else.
light_source { <-1.05, -1.6, -0.4> rgb <1.6, 0.1, 0.05>
  fade_distance 1 fade_power 2 shadowless }

// Light grey strip across the top; the balls reflect it.
box { <-10, 1.55, 3> <10, 6, 3.2>
  pigment { rgb 0.72 } finish { emission 1 diffuse 0 } }

#declare DarkGloss = finish {
  ambient 0 diffuse 0.55 phong 1.2 phong_size 90
  reflection { 0.05, 0.45 fresnel on } conserve_energy
}

// Left ball: glows red in its lower half, fading out at the equator.
sphere { 0, 1
  texture {
    gradient y
    texture_map {
      [0.00 pigment { rgb <0.55, 0.02, 0.02> } finish { DarkGloss emission <1.3, 0.08, 0.04> }]
      [0.30 pigment { rgb <0.30, 0.01, 0.01> } finish { DarkGloss emission <0.45, 0.02, 0.01> }]
      [0.52 pigment { rgb 0.015 } finish { DarkGloss }]
      [1.00 pigment { rgb 0.015 } finish { DarkGloss }]
    }
    scale 2 translate -y
  }
  interior { ior 1.5 }
  translate <-1.05, 0, 0>
}

// Right ball: dark with a blue body.
sphere { 0, 1
  pigment { rgb Srgb(BlueBody) * 0.55 }
  finish { DarkGloss emission Srgb(BlueBody) * 0.15 }
  interior { ior 1.5 }
  translate <1.05, 0, 0>
}
