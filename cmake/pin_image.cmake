# cmake -DIMAGE=<image> -DOUT=<file.rc> -P pin_image.cmake: writes the resource script that
# pins a program to IMAGE: resource PINNED_IMAGE_SHA256 of type RCDATA holds the image's
# SHA-256 as 64 lower-case hexadecimal digits (no terminator).
file(SHA256 "${IMAGE}" digest)
file(WRITE "${OUT}" "// Made from ${IMAGE}\nPINNED_IMAGE_SHA256 RCDATA { \"${digest}\" }\n")
