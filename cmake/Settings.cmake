# Build-time settings: the service's endpoints and the security constants. Nothing of
# this is read at run time; every value is checked here, at configure time.

set(TESSARO_APPLICATION_ID "org.tessaro.Tessaro" CACHE STRING
    "Desktop application ID (reverse DNS)")
set(TESSARO_STATUS_URL "https://status.tessaro.example/status.json" CACHE STRING
    "Address of the service's status document: https://HOST/status.json")
set(TESSARO_LAUNCH_PAGE_URL "https://exam.tessaro.example/native-launch" CACHE STRING
    "Address of the service's launch page: https://HOST/native-launch")
set(TESSARO_LOCAL_PORT "18765" CACHE STRING
    "Loopback port of the local exam service that tessaro-local talks to")
set(TESSARO_SECURITY_MESSAGE "devMessage00001" CACHE STRING
    "First security constant: 15 ASCII letters and digits, as the exam service knows it")
set(TESSARO_SECURITY_KEY "devKey000000001" CACHE STRING
    "Second security constant: 15 ASCII letters and digits, as the exam service knows it")

set(host_port "[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?(:[0-9]+)?")
if(NOT TESSARO_APPLICATION_ID MATCHES "^[A-Za-z][A-Za-z0-9_]*(\\.[A-Za-z][A-Za-z0-9_]*)+$")
    message(FATAL_ERROR "TESSARO_APPLICATION_ID must be a reverse-DNS application ID, got '${TESSARO_APPLICATION_ID}'")
endif()
if(NOT TESSARO_STATUS_URL MATCHES "^https://${host_port}/status\\.json$")
    message(FATAL_ERROR "TESSARO_STATUS_URL must be https://HOST/status.json, got '${TESSARO_STATUS_URL}'")
endif()
if(NOT TESSARO_LAUNCH_PAGE_URL MATCHES "^https://${host_port}/native-launch$")
    message(FATAL_ERROR "TESSARO_LAUNCH_PAGE_URL must be https://HOST/native-launch, got '${TESSARO_LAUNCH_PAGE_URL}'")
endif()
if(NOT TESSARO_LOCAL_PORT MATCHES "^[1-9][0-9]*$" OR TESSARO_LOCAL_PORT GREATER 65535 OR TESSARO_LOCAL_PORT LESS 1024)
    message(FATAL_ERROR "TESSARO_LOCAL_PORT must be a port from 1024 to 65535, got '${TESSARO_LOCAL_PORT}'")
endif()
foreach(constant TESSARO_SECURITY_MESSAGE TESSARO_SECURITY_KEY)
    if(NOT ${constant} MATCHES "^[A-Za-z0-9]+$")
        message(FATAL_ERROR "${constant} must hold ASCII letters and digits only")
    endif()
    string(LENGTH "${${constant}}" length)
    if(NOT length EQUAL 15)
        message(FATAL_ERROR "${constant} must be exactly 15 characters long, got ${length}")
    endif()
    string(SUBSTRING "${${constant}}" 0 8 ${constant}_HEAD)
    string(SUBSTRING "${${constant}}" 8 7 ${constant}_TAIL)
endforeach()
if(TESSARO_SECURITY_MESSAGE MATCHES "^dev" OR TESSARO_SECURITY_KEY MATCHES "^dev")
    message(STATUS "Tessaro: development security constants; an exam service will not accept this build's answers")
endif()
