// SPDX-License-Identifier: GPL-3.0-or-later
// The game's logo: green lettering "TAR" over "MELON" beside a round green
// emblem (a striped melon in a ring), inside a thin green frame, on black.
// Orthographic and 214 x 90 scene units, so one unit is one pixel at 1x and
// the frame line lands on whole pixels.
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 6 }
background { rgb 0 }

#declare W = 214;
#declare H = 90;
#declare Font = "DejaVuSans-Bold.ttf";   // copied next to the scene by render.sh

camera {
  orthographic
  location <0, 0, -500>
  direction z
  right W * x
  up H * y
}

light_source { <-300, 400, -600> rgb 1.0 }
light_source { <400, -200, -300> rgb 0.25 shadowless }

#declare Green      = <0.10, 0.85, 0.20>;
#declare DarkGreen  = <0.01, 0.22, 0.04>;

// Frame: a one-pixel line two pixels in from the border.  The line stops a
// hair short of the pixel edges so antialiasing samples on those edges do
// not smear it into the neighbouring pixels (render with +AM1).
#declare Line = finish { emission 1 diffuse 0 ambient 0 }
#declare E = 0.02;
union {
  box { <-W/2 + 2 + E, -H/2 + 2 + E, 0> <W/2 - 2 - E, -H/2 + 3 - E, 1> }
  box { <-W/2 + 2 + E,  H/2 - 3 + E, 0> <W/2 - 2 - E,  H/2 - 2 - E, 1> }
  box { <-W/2 + 2 + E, -H/2 + 2 + E, 0> <-W/2 + 3 - E, H/2 - 2 - E, 1> }
  box { < W/2 - 3 + E, -H/2 + 2 + E, 0> < W/2 - 2 - E, H/2 - 2 - E, 1> }
  pigment { rgb Green * 0.75 } finish { Line }
}

// Emblem on the left: a glossy melon with dark stripes inside a ring.
#declare EmblemX = -W/2 + 45;
#declare EmblemR = 34;
union {
  torus { EmblemR - 2.5, 2.2 rotate 90 * x
    pigment { rgb Green * 0.9 }
    finish { ambient 0 emission 0.15 diffuse 0.7 phong 0.9 phong_size 60 metallic }
  }
  sphere { 0, EmblemR - 7
    // meridian stripes round the pole, which is tipped towards the viewer
    pigment {
      radial frequency 7
      color_map {
        [0.00 rgb DarkGreen]
        [0.25 rgb DarkGreen]
        [0.40 rgb Green * 0.75]
        [0.85 rgb Green * 0.75]
        [1.00 rgb DarkGreen]
      }
      warp { turbulence 0.25 octaves 3 lambda 2.5 }
    }
    finish { ambient 0 emission 0.08 diffuse 0.8 phong 1.3 phong_size 80 }
    rotate <-55, 0, -25>
  }
  translate <EmblemX, 0, 0>
}

// Lettering: extruded text seen very slightly from below-right so the
// darker sides show as a bevel-like edge under each stroke.
#macro Word(Txt, CapHeight)
  #local T = text { ttf Font Txt 0.25, 0 }
  #local S = CapHeight / 0.729;            // DejaVu Sans cap height, in em
  object { T scale <S, S, S> }
#end

#declare Letters = texture {
  pigment {
    gradient y
    color_map {
      [0.00 rgb Green * 0.55]
      [0.55 rgb Green * 1.0]
      [1.00 rgb <0.55, 1.00, 0.55>]
    }
  }
  finish { ambient 0 emission 0.35 diffuse 0.75 phong 0.6 phong_size 40 }
}

#declare TextLeft  = EmblemX + EmblemR + 9;
#declare TextRight = W/2 - 9;

#macro NaturalWidth(Txt, Cap)
  #local Wsum = 0;
  #for (I, 1, strlen(Txt))
    #local G = Word(substr(Txt, I, 1), Cap);
    #local Wsum = Wsum + max_extent(G).x - min_extent(G).x;
  #end
  Wsum
#end

// MELON sets the size: its letters, two pixels apart, fill the text column.
#declare Probe = NaturalWidth("MELON", 10);
#declare MelonCap = 10 * (TextRight - TextLeft - 4 * 2) / Probe;
// TAR is a little taller and spaced out to the same width, so the two
// words read as one block.
#declare TarCap = MelonCap * 1.3;

#macro Spaced(Txt, Cap, Y)
  #local N = strlen(Txt);
  #local Gap = (TextRight - TextLeft - NaturalWidth(Txt, Cap)) / max(N - 1, 1);
  union {
    #local X = 0;
    #for (I, 1, N)
      #local G = Word(substr(Txt, I, 1), Cap);
      object { G translate <X - min_extent(G).x, 0, 0> }
      #local X = X + max_extent(G).x - min_extent(G).x + Gap;
    #end
    texture { Letters scale <1, Cap, 1> }
    rotate <-6, 6, 0>
    translate <TextLeft, Y, -20>
  }
#end

#declare Lead = 8;   // space between the lines
#declare Top = (TarCap + Lead + MelonCap) / 2;
Spaced("TAR", TarCap, Top - TarCap)
Spaced("MELON", MelonCap, -Top)
