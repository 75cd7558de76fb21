# The builds besides the normal one: sanitized, thread-sanitized and fuzzing.
# Each applies to every target, JUCE's modules included.

# AddressSanitizer and UndefinedBehaviorSanitizer (scripts/test-sanitized), for
# the tests that drive the processor and the plug-ins as hosts do.
option (QUAVERLINE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if (QUAVERLINE_SANITIZE)
    add_compile_options (-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options (-fsanitize=address,undefined)
endif()

# ThreadSanitizer (scripts/test-threads), for the tests that run the audio
# thread beside the host's and the editor's.
option (QUAVERLINE_THREAD_SANITIZE "Build with ThreadSanitizer" OFF)
if (QUAVERLINE_THREAD_SANITIZE)
    add_compile_options (-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options (-fsanitize=thread)
endif()

# The fuzz build (scripts/fuzz, clang): everything with coverage for libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer; the harnesses in fuzz/.
option (QUAVERLINE_FUZZ "Build the libFuzzer harnesses (clang)" OFF)
if (QUAVERLINE_FUZZ)
    # Without clang's function-type check: JUCE declares the VST 2.4 interface
    # inside a namespace of its own and hosts outside it, so every call between
    # them names different (identical) types.
    add_compile_options (-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize=function
        -fno-sanitize-recover=all -fno-omit-frame-pointer)
    # The plug-in libraries take the sanitizers' runtime (and its coverage
    # hooks) from one shared library, as the harnesses that load them do; it
    # is named first, so that it comes first in every program's libraries.
    execute_process (COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=libclang_rt.asan-x86_64.so
        OUTPUT_VARIABLE sanitizerRuntime OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component (sanitizerRuntimeDir "${sanitizerRuntime}" DIRECTORY)
    add_link_options (-fsanitize=address,undefined -shared-libsan "${sanitizerRuntime}"
        "-Wl,-rpath,${sanitizerRuntimeDir}")
endif()
