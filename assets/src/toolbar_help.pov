// SPDX-License-Identifier: GPL-3.0-or-later
// Toolbar "help": dusk over a dark blue plain, a small green light at the
// horizon in the middle to look towards.
#version 3.7;
global_settings { assumed_gamma 1.0 }

camera { location <0, 1, -10> look_at <0, 1.2, 0> right x * image_width / image_height angle 50 }

sky_sphere {
  pigment {
    gradient y
    color_map {
      [0.00 rgb <0.80, 0.74, 0.78>]
      [0.06 rgb <0.55, 0.46, 0.62>]
      [0.20 rgb <0.20, 0.14, 0.32>]
      [0.45 rgb <0.05, 0.04, 0.12>]
      [1.00 rgb <0.02, 0.02, 0.06>]
    }
  }
}

light_source { <0, 30, 1000> rgb <0.6, 0.5, 0.7> }

plane { y, 0
  pigment { rgb <0.015, 0.03, 0.16> }
  finish { emission <0.01, 0.02, 0.12> diffuse 0.3 reflection { 0.0, 0.25 fresnel on } }
  interior { ior 1.33 }
}

// The green point and its halo, sitting on the horizon in the middle.
sphere { 0, 1
  pigment { rgbt 1 }
  hollow
  interior {
    media {
      emission <0.2, 1.6, 0.4>
      density { spherical density_map { [0 rgb 0] [0.6 rgb 0.3] [1 rgb 6] } }
    }
  }
  scale 6 translate <0, 1.2, 120>
}
