// SPDX-License-Identifier: GPL-3.0-or-later
// Program icon, 48 px: one dark glossy ball over a red glow, on grey.
// This size is drawn differently from the others on purpose: it is the one
// desktop panels use most, where a single bold shape reads better.
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 6 }
background { rgb 0.35 }

camera { location <0, 2.0, -6> look_at <0, 0.75, 0> right x angle 29 }

light_source { <-6, 9, -7> rgb 1.0 }
// The red glow sits on the floor right under the ball and lights its belly.
light_source { <0, 0.12, -0.3> rgb <3.5, 0.2, 0.1> fade_distance 0.6 fade_power 2 shadowless }

plane { y, 0
  texture {
    pigment {
      cylindrical
      color_map {
        [0.00 rgb 0.33]
        [0.45 rgb <0.55, 0.10, 0.08>]
        [1.00 rgb <1.40, 0.08, 0.04>]
      }
      scale 1.4
    }
    finish { ambient 0 emission 0.55 diffuse 0.5 }
  }
}
// far wall, plain grey
plane { z, 8 pigment { rgb 0.35 } finish { ambient 0 emission 0.6 diffuse 0.3 } }

sphere { <0, 1, 0>, 1
  pigment { rgb 0.02 }
  finish { ambient 0 diffuse 0.6 phong 1.0 phong_size 70
           reflection { 0.06, 0.6 fresnel on } conserve_energy }
  interior { ior 1.6 }
}
