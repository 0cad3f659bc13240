#!/usr/bin/env bash
# Regenerates the test pictures of known colours (ImageMagick). The committed files are
# what the tests read.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
convert -define png:exclude-chunks=all -size 40x20 'xc:rgba(200,100,50,1)' PNG32:opaque.png
convert -define png:exclude-chunks=all -size 40x20 'xc:rgba(200,100,50,0.50196)' PNG32:half.png
convert -define png:exclude-chunks=all -size 40x20 'xc:rgba(250,250,10,1)' PNG32:bright.png
# Opaque dark grey with a fully transparent strip at x >= 150.
convert -define png:exclude-chunks=all -size 200x150 xc:none -fill 'rgb(40,40,40)' -draw 'rectangle 0,0 149,149' PNG32:background.png
printf 'this is not a picture' >broken.png
