# make       install missing packages, build out/vykcn.dll and out/vykcn-tool
# make test  build and run every test: native, native under ASan+UBSan, Windows under Wine

BUILD := build
CMAKE_GEN := -G Ninja

.PHONY: all deps native windows test clean

all: deps native windows

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake -S . -B $(BUILD)/native $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD)/native
	@mkdir -p out && cp $(BUILD)/native/tools/vykcn-tool out/vykcn-tool

windows: deps native
	@cmake -S . -B $(BUILD)/windows $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DVYKCN_TOOL=$(CURDIR)/out/vykcn-tool >/dev/null
	@cmake --build $(BUILD)/windows --target vykcn
	@mkdir -p out && cp $(BUILD)/windows/module/vykcn.dll out/vykcn.dll

test: all
	@bash scripts/run-tests.sh $(BUILD)

clean:
	rm -rf $(BUILD) out
