# cmake -DIMAGE=<image> [-DTEXTS=<Update.ini>] -DOUT=<file.rc> -P pin_image.cmake: writes
# the resource script that pins a program to IMAGE: resource PINNED_IMAGE_SHA256 of type
# RCDATA holds the image's SHA-256 as 64 lower-case hexadecimal digits (no terminator); with
# TEXTS, PINNED_TEXTS_SHA256 holds the texts file's the same way.
file(SHA256 "${IMAGE}" digest)
set(script "// Made from ${IMAGE}\nPINNED_IMAGE_SHA256 RCDATA { \"${digest}\" }\n")
if(TEXTS)
  file(SHA256 "${TEXTS}" texts)
  string(APPEND script "// and ${TEXTS}\nPINNED_TEXTS_SHA256 RCDATA { \"${texts}\" }\n")
endif()
file(WRITE "${OUT}" "${script}")
