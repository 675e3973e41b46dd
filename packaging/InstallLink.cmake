# qarvel_install_link(<link> <target>)
# Installs a symbolic link <link> (a path below the install prefix) that
# points at <target> (a path below the prefix as well), written relative to
# the link's folder so that the installed tree can be moved or unpacked
# anywhere, as CPack and dpkg-deb -x do.
function(qarvel_install_link link target)
  foreach(path IN ITEMS ${link} ${target})
    if(IS_ABSOLUTE "${path}")
      message(FATAL_ERROR "qarvel_install_link: ${path} must be relative to the install prefix")
    endif()
  endforeach()
  get_filename_component(folder "${link}" DIRECTORY)
  # Any root will do: only the way from one path to the other is kept.
  file(RELATIVE_PATH relative "/prefix/${folder}" "/prefix/${target}")
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link}\")
    message(STATUS \"Installing: \${link} -> ${relative}\")
    get_filename_component(folder \"\${link}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${folder}\")
    file(CREATE_LINK \"${relative}\" \"\${link}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")
  ")
endfunction()
