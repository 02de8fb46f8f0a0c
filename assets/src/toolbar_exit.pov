// SPDX-License-Identifier: GPL-3.0-or-later
// Toolbar "exit": a bold red X with rounded, shaded edges on light grey.
#version 3.7;
global_settings { assumed_gamma 1.0 }
background { rgb 0.75 }

camera { orthographic location <0, 0, -10> look_at 0 right 4 * x up 4 * y }

light_source { <-6, 8, -10> rgb 1.0 }
light_source { <0, 0, -20> rgb 0.25 shadowless }

plane { z, 0.3 pigment { rgb 0.62 } finish { ambient 0 emission 0.45 diffuse 0.6 } }

// A bar with rounded edges reads as shaded at 32 px; a boxy superellipsoid
// gives that without a bevel mesh.
#declare Bar = superellipsoid { <0.3, 0.3> scale <1.7, 0.42, 0.3> }

union {
  object { Bar rotate 45 * z }
  object { Bar rotate -45 * z }
  pigment { rgb <0.75, 0.03, 0.02> }
  finish { ambient 0 emission 0.1 diffuse 0.85 phong 0.7 phong_size 40 }
}
