# Helpers for targets built beside the plug-in.

# JUCE's headers draw -Wdangling-pointer from g++ 12; it is not ours to fix.
function(zp_quiet_juce_warnings target)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -Wno-dangling-pointer)
    endif()
endfunction()

# The plug-in's shared-code library compiles the JUCE modules privately, so a
# target that links it (the renderer, the tests, the fuzzers) must compile
# against the same headers and module settings, or its view of JUCE's classes
# could differ from the library's. The module targets publish their
# JUCE_MODULE_AVAILABLE_* flags only to targets that compile the modules.
function(zp_use_plugin_shared_code target)
    target_link_libraries(${target} PRIVATE ZelkoraPelorin)
    target_include_directories(${target} PRIVATE
        $<TARGET_PROPERTY:ZelkoraPelorin,INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} PRIVATE
        $<TARGET_PROPERTY:ZelkoraPelorin,COMPILE_DEFINITIONS>)
    foreach(module juce_audio_basics juce_audio_devices juce_audio_formats juce_audio_processors
                   juce_audio_utils juce_core juce_data_structures juce_events juce_graphics
                   juce_gui_basics juce_gui_extra)
        target_compile_definitions(${target} PRIVATE JUCE_MODULE_AVAILABLE_${module}=1)
    endforeach()
    zp_quiet_juce_warnings(${target})
endfunction()
