# The show's pictures and scroll text (declared in assets.h); tools/pictures draws the pictures.
kelp_embed(ASSETFont font.ppm)
kelp_embed(ASSETSpray spray.pgm)
kelp_embed(ASSETLogo logo.ppm)
kelp_embed(ASSETCorner corner.ppm)
kelp_embed(ASSETBadge badge.ppm)
kelp_embed(ASSETRotozoom rotozoom.pbm)
kelp_embed(ASSETScroll scroll.txt)
