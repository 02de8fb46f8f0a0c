// SPDX-License-Identifier: GPL-3.0-or-later
// Toolbar "records": a glowing green dome over stacked bands of green light,
// fading to dark blue-green at the edges.
#version 3.7;
global_settings { assumed_gamma 1.0 }
background { rgb 0 }

camera { orthographic location <0, 0, -10> look_at 0 right 4 * x up 4 * y }

// Backdrop: dark blue-green that falls off towards the edges.
plane { z, 1
  pigment {
    spherical
    color_map {
      [0.0 rgb <0.0, 0.02, 0.025>]
      [0.5 rgb <0.0, 0.07, 0.07>]
      [1.0 rgb <0.02, 0.22, 0.16>]
    }
    scale 2.8 translate <0, 0.2, 0>
  }
  finish { emission 1 diffuse 0 }
}

// Bands of light below the dome, dimmer the lower they sit.
#declare Band = function(i) { 1.2 - 0.32 * i }
#for (I, 0, 2)
  box { <-1.45 + 0.18 * I, -0.28 - 0.5 * I, -0.1> <1.45 - 0.18 * I, -0.58 - 0.5 * I, 0>
    pigment { rgb <0.15, 1.0, 0.35> * Band(I) }
    finish { emission 1 diffuse 0 }
  }
  // soft halo round each band
  box { <-1.6 + 0.18 * I, -0.2 - 0.5 * I, 0.05> <1.6 - 0.18 * I, -0.66 - 0.5 * I, 0.1>
    pigment { rgb <0.0, 0.35, 0.16> * Band(I) }
    finish { emission 1 diffuse 0 }
  }
#end

// The dome: brightest at the top, glowing edge.
intersection {
  sphere { 0, 1.35 }
  plane { -y, 0 }
  pigment {
    slope { -z }
    color_map {
      [0.50 rgb <0.05, 0.55, 0.25>]
      [0.75 rgb <0.25, 1.05, 0.45>]
      [1.00 rgb <0.85, 1.35, 0.85>]
    }
  }
  finish { emission 1 diffuse 0 }
  translate <0, -0.12, -0.5>
}
