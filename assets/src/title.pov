// SPDX-License-Identifier: GPL-3.0-or-later
// Title picture: a red sun over a night plain ruled with a green grid,
// three dark balls on the grid, lens flares falling from the sun.
// The camera looks level, so the horizon is the middle row; everything
// that must sit at a place in the frame is placed in screen terms (U, V).
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 8 }

// ---- camera ---------------------------------------------------------------
#declare Eye = <0, 3.0, 0>;
#declare Rt  = 1.0667;     // screen width at unit distance (4:3 frame)
#declare Up  = 0.8;        // screen height at unit distance
camera {
  location Eye
  direction z
  right Rt * x
  up Up * y
}
// Point seen at screen position (U, V), both -0.5..0.5 with V upwards,
// at distance D in front of the eye.
#macro Screen(U, V, D) (Eye + D * <U * Rt, V * Up, 1>) #end

// ---- sky and clouds -------------------------------------------------------
sky_sphere {
  pigment { gradient y
    color_map { [0 rgb <0.05, 0.03, 0.07>] [0.3 rgb <0.01, 0.005, 0.02>] } }
}

// A low cloud deck: seen from below it fills the upper half and shrinks
// into the horizon the way a real one does.
plane { y, 60
  hollow
  texture {
    pigment {
      bozo
      turbulence 0.9 octaves 7 lambda 2.3 omega 0.55
      color_map {
        [0.00 rgb <0.020, 0.014, 0.030>]
        [0.30 rgb <0.060, 0.045, 0.085>]
        [0.55 rgb <0.150, 0.120, 0.200>]
        [0.75 rgb <0.260, 0.215, 0.320>]
        [1.00 rgb <0.380, 0.330, 0.440>]
      }
      scale <70, 1, 40>
    }
    finish { ambient 0 emission 0.55 diffuse 0.9 }
  }
}

// ---- the sun --------------------------------------------------------------
#declare SunU = 0.0;
#declare SunV = 0.25;
#declare SunD = 200;
#declare SunR = 17;
#declare SunPos = Screen(SunU, SunV, SunD);

// Its light, red and falling off, so the clouds round it and the balls'
// tops catch it.
light_source { SunPos rgb <2.2, 0.4, 0.3> fade_distance 120 fade_power 2 }
// A dim cold fill from behind the eye, so the balls' fronts are not dead.
light_source { Eye + <-40, 60, -80> rgb <0.12, 0.10, 0.18> }

// The sun is emitting media over a black disc: the disc hides the clouds
// behind it, so the disc stays a clean deep red; the media adds light like
// a real glare.  A dense red body (brightest through its middle, where the
// chord is longest), a wide red glow round it and a white-hot core.
disc { SunPos, Eye - SunPos, SunR
  pigment { rgb 0 } finish { ambient 0 diffuse 0 }
  no_shadow no_reflection
}
sphere { 0, SunR
  pigment { rgbt 1 } hollow no_shadow no_reflection
  interior { media {
    method 3 intervals 1 samples 30
    emission <1.0, 0.006, 0.004> * 0.085
  } }
  translate SunPos
}
sphere { 0, 1
  pigment { rgbt 1 } hollow no_shadow no_reflection
  interior { media {
    method 3 intervals 1 samples 20
    emission <1.0, 0.025, 0.02> * 0.045
    density { spherical poly_wave 3 }
  } }
  scale 60 translate SunPos
}
sphere { 0, 1
  pigment { rgbt 1 } hollow no_shadow no_reflection
  interior { media {
    method 3 intervals 1 samples 20
    emission <1.0, 0.80, 0.72> * 0.16
    density { spherical poly_wave 3 }
  } }
  scale 13 translate SunPos - 20 * z
}

// ---- lens flares ----------------------------------------------------------
// Discs just in front of the eye on the line from the sun through the
// middle of the frame, ending at the lower middle.  They are mostly
// transparent and self-lit, so they brighten what is behind them (nearly
// additive, like real flare) without hiding it.
#macro Flare(T, Size, Col, Ring)
  #local V = SunV * (1 - T);
  #local D = 2;
  disc { 0, -z, 1
    pigment {
      spherical
      #if (Ring)
        color_map { [0.00 rgbt <Col.x, Col.y, Col.z, 1>]
                    [0.06 rgbt <Col.x, Col.y, Col.z, 0.80>]
                    [0.16 rgbt <Col.x, Col.y, Col.z, 0.97>]
                    [1.00 rgbt <Col.x, Col.y, Col.z, 0.98>] }
      #else
        color_map { [0.00 rgbt <Col.x, Col.y, Col.z, 1>]
                    [0.10 rgbt <Col.x, Col.y, Col.z, 0.92>]
                    [1.00 rgbt <Col.x, Col.y, Col.z, 0.80>] }
      #end
    }
    finish { ambient 0 diffuse 0 emission 1 }
    no_shadow no_reflection
    scale Size * D
    translate Screen(SunU, V, D)
  }
#end

Flare(0.55, 0.020, <1.6, 0.50, 0.35>, 0)
Flare(0.85, 0.035, <1.2, 0.70, 0.25>, 1)
Flare(1.10, 0.010, <1.5, 1.30, 1.10>, 0)
Flare(1.35, 0.055, <0.6, 0.35, 1.00>, 0)
Flare(1.60, 0.028, <0.4, 1.30, 0.50>, 1)
Flare(1.85, 0.016, <1.6, 0.70, 0.35>, 0)
Flare(2.15, 0.075, <1.1, 0.30, 0.40>, 1)
Flare(2.45, 0.040, <0.5, 0.45, 1.30>, 0)

// ---- the floor ------------------------------------------------------------
// Black, a little glossy, ruled with glowing green lines every 2 units.
#declare Cell = 2;
#declare LineW = 0.045;    // half width, in cells
#declare GridLine = function(v) { max(0, 1 - abs(v - floor(v + 0.5)) / LineW) }
plane { y, 0
  texture {
    pigment {
      function { max(GridLine(x / Cell), GridLine(z / Cell)) }
      color_map { [0 rgb 0] [1 rgb <0.15, 1.6, 0.30>] }
    }
    finish { ambient 0 emission 1 diffuse 0 reflection { 0.02, 0.25 fresnel on } }
  }
  interior { ior 1.5 }
}

// Haze on the ground only, so the far grid fades out instead of shimmering
// into moire at the horizon; the clouds stay clear.
fog {
  fog_type 2 distance 45 color rgb <0.05, 0.02, 0.06>
  fog_offset 0.5 fog_alt 2.5
}

// ---- the balls ------------------------------------------------------------
#declare DarkGloss = texture {
  pigment { rgb <0.012, 0.010, 0.016> }
  finish { ambient 0 diffuse 0.6 phong 0.8 phong_size 120
           reflection { 0.08, 0.9 fresnel on } conserve_energy }
}
#macro DarkBall(X, Z, R)
  sphere { <X, R, Z>, R texture { DarkGloss } interior { ior 1.6 } }
#end
DarkBall(-3.4, 10.0, 1.30)
DarkBall( 3.3, 15.0, 0.85)
DarkBall( 1.1, 24.0, 0.60)
