# Builds the placeholder firmware image, deterministically, as a hex string.
#
# The image is 89,268 bytes whose XOR is 0x21 and whose 32-bit byte sum is
# 0x0075E261, so the fixed trailer 21 00 75 E2 61 is its true check value and a
# device (or the simulator) that verifies transfers accepts it. It is a text
# line, a ramp of the values 0..172 repeated, a filler run that brings the sum
# close, and three closing bytes that settle sum and XOR exactly. Written with
# string(REPEAT) so that it costs nothing at configure time.
#
#   vyx_placeholder_firmware_hex(<out-var>)

set(VYX_FIRMWARE_SIZE 89268)
set(_vyx_placeholder_sum 7725665)  # 0x0075E261
set(_vyx_placeholder_xor 33)       # 0x21
set(_vyx_placeholder_text "VyxTool placeholder firmware image. Not for devices.\n")

function(_vyx_hex_byte value out)
    math(EXPR hi "${value} / 16")
    math(EXPR lo "${value} % 16")
    string(SUBSTRING "0123456789abcdef" ${hi} 1 h)
    string(SUBSTRING "0123456789abcdef" ${lo} 1 l)
    set(${out} "${h}${l}" PARENT_SCOPE)
endfunction()

# XORs `value` repeated `count` times into the variable `xorVar`: only an odd
# count leaves a trace.
function(_vyx_xor_repeated xorVar value count)
    math(EXPR odd "${count} % 2")
    if(odd)
        math(EXPR result "${${xorVar}} ^ ${value}")
        set(${xorVar} ${result} PARENT_SCOPE)
    endif()
endfunction()

function(vyx_placeholder_firmware_hex out)
    # The text line.
    string(HEX "${_vyx_placeholder_text}" textHex)
    string(LENGTH "${_vyx_placeholder_text}" textLength)
    set(sum 0)
    set(xor 0)
    math(EXPR last "${textLength} * 2 - 2")
    foreach(at RANGE 0 ${last} 2)
        string(SUBSTRING "${textHex}" ${at} 2 pair)
        math(EXPR byte "0x${pair}")
        math(EXPR sum "${sum} + ${byte}")
        math(EXPR xor "${xor} ^ ${byte}")
    endforeach()

    # The ramp 0..172, repeated as often as leaves a tail of 600..772 bytes.
    set(ramp "")
    set(rampSum 0)
    set(rampXor 0)
    foreach(byte RANGE 0 172)
        _vyx_hex_byte(${byte} h)
        string(APPEND ramp "${h}")
        math(EXPR rampSum "${rampSum} + ${byte}")
        math(EXPR rampXor "${rampXor} ^ ${byte}")
    endforeach()
    math(EXPR ramps "(${VYX_FIRMWARE_SIZE} - ${textLength} - 600) / 173")
    string(REPEAT "${ramp}" ${ramps} body)
    math(EXPR sum "${sum} + ${ramps} * ${rampSum}")
    _vyx_xor_repeated(xor ${rampXor} ${ramps})

    # The filler: m bytes of f + 1 and the rest of f, leaving 382 for the last three.
    math(EXPR fillCount "${VYX_FIRMWARE_SIZE} - ${textLength} - ${ramps} * 173 - 3")
    math(EXPR want "${_vyx_placeholder_sum} - ${sum} - 382")
    math(EXPR fill "${want} / ${fillCount}")
    math(EXPR m "${want} - ${fill} * ${fillCount}")
    math(EXPR fillPlus "${fill} + 1")
    math(EXPR rest "${fillCount} - ${m}")
    _vyx_hex_byte(${fillPlus} hPlus)
    _vyx_hex_byte(${fill} hFill)
    string(REPEAT "${hPlus}" ${m} fillPlusHex)
    string(REPEAT "${hFill}" ${rest} fillHex)
    math(EXPR sum "${sum} + ${m} * ${fillPlus} + ${rest} * ${fill}")
    _vyx_xor_repeated(xor ${fillPlus} ${m})
    _vyx_xor_repeated(xor ${fill} ${rest})

    # Three closing bytes a, b, c with a + b + c = s3 and a ^ b ^ c = x3: for a
    # chosen c, a + b = s and a ^ b = x have the solution a = k | x, b = k with
    # k = (s - x) / 2 whenever s - x is even, not negative, and k shares no bit with x.
    math(EXPR s3 "${_vyx_placeholder_sum} - ${sum}")
    math(EXPR x3 "${_vyx_placeholder_xor} ^ ${xor}")
    set(closing "")
    foreach(c RANGE 0 255)
        math(EXPR s "${s3} - ${c}")
        math(EXPR x "${x3} ^ ${c}")
        math(EXPR d "${s} - ${x}")
        if(d LESS 0)
            continue()
        endif()
        math(EXPR odd "${d} % 2")
        if(odd)
            continue()
        endif()
        math(EXPR k "${d} / 2")
        math(EXPR overlap "${k} & ${x}")
        math(EXPR a "${k} | ${x}")
        if(overlap EQUAL 0 AND a LESS 256 AND k LESS 256)
            _vyx_hex_byte(${a} ha)
            _vyx_hex_byte(${k} hb)
            _vyx_hex_byte(${c} hc)
            set(closing "${ha}${hb}${hc}")
            break()
        endif()
    endforeach()
    if(closing STREQUAL "")
        message(FATAL_ERROR "placeholder firmware: no closing bytes found")
    endif()

    set(${out} "${textHex}${body}${fillPlusHex}${fillHex}${closing}" PARENT_SCOPE)
endfunction()
