# The emulator's platform layer on Linux: X11 (FLTK 1.3 + GLX) and offscreen (EGL
# surfaceless), linked into the core library. FLTK is found as plain libraries (what
# `fltk-config --use-gl --ldflags` names), not through Debian's FLTK CMake package.
find_library(VX_FLTK_LIBRARY fltk REQUIRED)
find_library(VX_FLTK_GL_LIBRARY fltk_gl REQUIRED)
find_path(VX_FLTK_INCLUDE_DIR FL/Fl.H REQUIRED)
find_package(X11 REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX EGL)
find_package(PNG REQUIRED)

set(_vx_platform ${CMAKE_CURRENT_LIST_DIR})
target_sources(vx_obj PRIVATE
    ${_vx_platform}/context_switch.cpp
    ${_vx_platform}/platform_hooks.cpp
    ${_vx_platform}/offscreen/offscreen_platform.cpp
    ${_vx_platform}/x11/x11_platform.cpp
    ${_vx_platform}/x11/x11_windows.cpp
    ${_vx_platform}/x11/x11_dialogs.cpp)
target_include_directories(vx_obj SYSTEM PRIVATE ${VX_FLTK_INCLUDE_DIR} ${X11_INCLUDE_DIR})
target_link_libraries(vx_obj PUBLIC
    ${VX_FLTK_GL_LIBRARY} ${VX_FLTK_LIBRARY} X11::X11 OpenGL::GL OpenGL::GLU OpenGL::EGL
    PNG::PNG ${CMAKE_DL_LIBS})
