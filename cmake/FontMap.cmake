# The five private fonts under the file names the program loads, each with the
# free font from Debian that stands in for it and the package holding that font:
# <file name>=<stand-in font>=<Debian package>
set(VX27_FONT_MAP
  "Simplified_Chinese.ttf=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc=fonts-wqy-microhei"
  "Korventa-Regular.otf=/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf=fonts-liberation2"
  "NotoSansThai-Regular.ttf=/usr/share/fonts/truetype/tlwg/Loma.ttf=fonts-tlwg-loma-ttf"
  "NotoSansCJKtc-Regular.otf=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc=fonts-wqy-microhei"
  "arial.ttf=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf=fonts-liberation2")
