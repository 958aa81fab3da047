# How the desktop and the package manager name the program. One id serves the desktop entry,
# the icon and the AppStream component; the version is the project's own (project() in the
# top-level CMakeLists.txt) and reaches the program, the package and its metadata from there.
set(VQS_APP_ID "com.norvale.lumiquest")
set(VQS_PACKAGE_NAME "lumiquest")

# The day the project version was released, for the AppStream release list and the package's
# changelog: change it together with the version.
set(VQS_RELEASE_DATE "2026-12-10")
set(VQS_RELEASE_DATE_RFC2822 "Thu, 10 Dec 2026 00:00:00 +0000")

# Who answers for the package. The address is a placeholder until the project names one.
set(VQS_PACKAGE_MAINTAINER "Lumiquest developers <lumiquest@norvale.invalid>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
