# Run by CPack on the staged files of each package before it packs them: Debian wants the manual
# pages compressed, a copyright file and a changelog in every package's documentation folder,
# and static libraries without their debugging sections (CPack strips only programs).
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} upper)
  set(root ${CPACK_TEMPORARY_DIRECTORY}/${component}${CPACK_PACKAGING_INSTALL_PREFIX})
  set(doc ${root}/share/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  file(MAKE_DIRECTORY ${doc})
  file(COPY_FILE ${CPACK_KELP_COPYRIGHT} ${doc}/copyright)
  file(COPY_FILE ${CPACK_KELP_CHANGELOG} ${doc}/changelog)
  file(GLOB_RECURSE pages ${root}/share/man/*)
  foreach(file ${doc}/changelog ${pages})
    # -n: no name or time stamp inside, so the package is the same on every build.
    execute_process(COMMAND gzip -9nf ${file} COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  file(GLOB_RECURSE archives ${root}/lib/*.a)
  foreach(archive ${archives})
    execute_process(COMMAND ${CPACK_KELP_STRIP} --strip-debug --remove-section=.comment
      --enable-deterministic-archives ${archive} COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endforeach()
