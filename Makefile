# make        install missing packages; build out/vykcn.dll, out/vykcn.dll.debug, out/vykcn-tool and
#             out/windows/, the folder a translator copies (vykcn-tool.exe, the module, fonts, licences)
#             (TEST_BUILD=1: and the test build, out/test/vykcn.dll and its .debug, also in out/windows/test)
# make test   build and run every test: native, native under ASan+UBSan, Windows under Wine; all of
#             it under build/, never touching out/
# make bench  build and run every benchmark (peers compared in the same run; tables, not tests)
# make clean  remove build/ (with the remembered settings) and out/
#
# Settings of the module's resources (README.md lists them; scripts/settings.sh holds the list):
#   TRANSLATIONS=DIR FONT=FILE FALLBACK_FONTS="FILE:FILE" GLYPH_HEIGHT=N ATLAS_SIZE=WxH LATER_WINS=1
#   ACCEPT_SHARED_HASH="0x1234ABCD ..." HOST_TEXTS=FILE EXTRA_CHARS=FILE ...
# Each one given is checked (the packers' options by the native tool, which is built first) and then
# remembered in build/settings.txt until it is given again; NAME= restores its default. A bad value,
# or a name within two edits of a setting's, is refused in one line, and nothing is remembered.
# `make` and `make test` configure the Windows build with the same settings.

# A step fails when any command of a pipe fails, as a build's output filtered through grep would not.
SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c

BUILD := build
OUT := out
# TEST_BUILD=1 builds the test build too, into $(OUT)/test (README.md, "The test build"). It is not a
# setting of the module's resources and is not remembered: a make without it builds the shipped module
# alone, and leaves $(OUT)/test as it was. The capture build that it replaced is refused by name.
TEST_BUILD := 0
ifneq ($(filter-out 0 1,$(TEST_BUILD)),)
$(error TEST_BUILD: 1 or 0, not '$(TEST_BUILD)')
endif
ifeq ($(origin CAPTURE),command line)
$(error CAPTURE: the capture build is part of the test build now: make TEST_BUILD=1 builds out/test/vykcn.dll)
endif
test_build := $(filter 1,$(TEST_BUILD))
tool := $(BUILD)/native/tools/vykcn-tool
windows_libraries := $(BUILD)/windows-libraries

# The Makefile's own variables; every other variable given on the command line goes to
# scripts/settings.sh as NAME=VALUE, quoted for the shell (a value may hold spaces).
own := BUILD OUT TEST_BUILD CAPTURE
given := $(foreach v,$(filter-out $(own),$(.VARIABLES)),$(if $(findstring command line,$(origin $v)),'$(subst ','\'',$v=$($v))'))

.PHONY: all deps tool settings windows-libraries configure native windows report test bench clean

all: report

# Each step below does its work only when something it depends on changed, by content: a make
# with nothing new to build installs, configures, packs and reports nothing, and says so.
deps:
	@bash scripts/if-changed.sh $(BUILD)/stamps/deps scripts/install-deps.sh -- bash scripts/install-deps.sh

# The native tool comes first: the settings are checked through it before any is remembered. Its
# build is configured once; ninja configures again when a CMake file changes.
tool: deps
	@[ -f $(BUILD)/native/build.ninja ] || rm -f $(BUILD)/stamps/configure-native
	@bash scripts/if-changed.sh $(BUILD)/stamps/configure-native -- \
	  sh -c 'cmake -S . -B $(BUILD)/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null'
	@cmake --build $(BUILD)/native --target vykcn-tool | { grep -v -e '^ninja: no work to do' -e 'Re-checking globbed directories' || true; }

settings: tool
	@bash scripts/settings.sh $(BUILD) $(tool) $(given)

# FreeType and libgettextpo for vykcn-tool.exe, cross-built once per installed version.
windows-libraries: deps
	@bash scripts/windows-libraries.sh $(BUILD)

# The Windows build, configured once, and again when the settings or the cross-built libraries change.
configure: settings windows-libraries
	@[ -f $(BUILD)/windows/build.ninja -a -f $(BUILD)/windows/generated/shipping/packed-files.txt ] \
	  || rm -f $(BUILD)/stamps/configure-windows
	@bash scripts/if-changed.sh $(BUILD)/stamps/configure-windows $(BUILD)/settings.cmake \
	  $(windows_libraries)/libraries.cmake -- \
	  sh -c 'cmake -S . -B $(BUILD)/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVYKCN_TOOL="$$(realpath -m $(tool))" \
	    -DVYKCN_WINDOWS_LIBRARIES="$$(realpath -m $(windows_libraries))" -C $(BUILD)/settings.cmake >/dev/null'

# The tool, and beside it the default fonts it draws with when given no --font.
native: configure
	@mkdir -p $(OUT) && for f in vykcn-tool wqy-microhei.ttc DejaVuSans.ttf; do \
	  cmp -s $(BUILD)/native/tools/$$f $(OUT)/$$f || cp $(BUILD)/native/tools/$$f $(OUT)/$$f; done

windows: native
	@cmake --build $(BUILD)/windows --target vykcn vykcn-tool $(if $(test_build),vykcn_test_dll) | { grep -v -e '^ninja: no work to do' -e 'Re-checking globbed directories' || true; }
	@mkdir -p $(OUT) && for f in vykcn.dll vykcn.dll.debug; do \
	  cmp -s $(BUILD)/windows/module/$$f $(OUT)/$$f || cp $(BUILD)/windows/module/$$f $(OUT)/$$f; done
ifneq ($(test_build),)
	@mkdir -p $(OUT)/test && for f in vykcn.dll vykcn.dll.debug; do \
	  cmp -s $(BUILD)/windows/test/$$f $(OUT)/test/$$f || cp $(BUILD)/windows/test/$$f $(OUT)/test/$$f; done
	@echo "built $(OUT)/test/vykcn.dll ($$(stat -c %s $(OUT)/test/vykcn.dll) bytes): the test build, which serves vykcn-live/translations.bin beside the game's executable (README.md, \"The test build\")"
endif
	@bash scripts/release-folder.sh $(BUILD) $(OUT)

# What was built: the module's resources checked, a few of its translations drawn, and a last line
# naming the translators' files that CMake packed and what the module carries. A module that was
# reported as it is now is only named again.
report: windows
	@bash scripts/report.sh $(BUILD) $(OUT)

test: configure
	@bash scripts/run-tests.sh $(BUILD)

bench: all
	@bash scripts/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(OUT)
