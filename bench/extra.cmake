# The picture benchmark times the saturating blit beside pixman's ADD, the usual reference for
# a software compositor; pixman is linked to that benchmark only.
if(TARGET img_bench)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
  target_link_libraries(img_bench PRIVATE PkgConfig::PIXMAN)
endif()
