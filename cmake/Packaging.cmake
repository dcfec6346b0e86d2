# The Debian package: `cpack -G DEB` in the build folder. Library dependencies come from
# dpkg-shlibdeps; the GStreamer plugins are what the camera and microphone need at run
# time, and the CA certificates what the program's own HTTPS requests check against.
set(CPACK_PACKAGE_NAME tessaro)
set(CPACK_PACKAGE_VENDOR "The Tessaro developers")
set(CPACK_PACKAGE_CONTACT "The Tessaro developers <tessaro@tessaro.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Lockdown browser for online exams")
set(CPACK_PACKAGE_DESCRIPTION "Tessaro shows the exam service's web application in one locked, full-screen
window, refuses to start while screen-capture or remote-desktop tools run or a
second screen is attached, and answers the exam page through a message bridge.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, ca-certificates")
# The exam session's kiosk compositor, and the Xwayland it will not start without.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cage, xwayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
