# The Debian packages that hold the shared libraries the programs link, for the .deb's Depends
# line: "libqt6core6 (>= 6.4.2), ...". Package names come from dpkg, so that they are right for
# the Debian release that builds the package; without dpkg, Debian 12's names are used.

# The package that holds a file, and its upstream version, or nothing.
function(corvane_package_of_file file out_name out_version)
    set(${out_name} "" PARENT_SCOPE)
    set(${out_version} "" PARENT_SCOPE)
    find_program(CORVANE_DPKG_QUERY dpkg-query)
    if(NOT CORVANE_DPKG_QUERY OR NOT EXISTS "${file}")
        return()
    endif()
    file(REAL_PATH "${file}" real)
    execute_process(COMMAND ${CORVANE_DPKG_QUERY} -S "${real}"
                    OUTPUT_VARIABLE owner RESULT_VARIABLE failed ERROR_QUIET)
    if(failed)
        # The file may be known under its /lib path on merged-/usr systems.
        string(REGEX REPLACE "^/usr/lib/" "/lib/" real "${real}")
        execute_process(COMMAND ${CORVANE_DPKG_QUERY} -S "${real}"
                        OUTPUT_VARIABLE owner RESULT_VARIABLE failed ERROR_QUIET)
    endif()
    if(failed)
        return()
    endif()
    string(REGEX REPLACE ":.*" "" package "${owner}")
    string(STRIP "${package}" package)
    execute_process(COMMAND ${CORVANE_DPKG_QUERY} -W "-f=\${Version}" "${package}"
                    OUTPUT_VARIABLE version ERROR_QUIET)
    string(REGEX REPLACE "^[0-9]+:" "" version "${version}")
    string(REGEX MATCH "^[0-9]+(\\.[0-9]+)*" version "${version}")
    set(${out_name} "${package}" PARENT_SCOPE)
    set(${out_version} "${version}" PARENT_SCOPE)
endfunction()

# Appends "package (>= version)" for each imported target, or the fallback name.
function(corvane_debian_depends out)
    set(depends "")
    foreach(entry IN LISTS ARGN)
        string(REPLACE "=" ";" parts "${entry}")
        list(GET parts 0 target)
        list(GET parts 1 fallback)
        set(name "")
        if(TARGET ${target})
            get_target_property(location ${target} LOCATION)
            corvane_package_of_file("${location}" name version)
        elseif(IS_ABSOLUTE "${target}")
            corvane_package_of_file("${target}" name version)
        endif()
        if(name)
            list(APPEND depends "${name} (>= ${version})")
        else()
            list(APPEND depends "${fallback}")
        endif()
    endforeach()
    list(REMOVE_DUPLICATES depends)
    string(JOIN ", " joined ${depends})
    set(${out} "${joined}" PARENT_SCOPE)
endfunction()
