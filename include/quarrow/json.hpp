// quarrow: JSON text read strictly into one value type, and written back.
// SPDX-License-Identifier: MIT
//
// MIT License
//
// Copyright (c) 2026 the quarrow authors
//
// Permission is hereby granted, free of charge, to any person obtaining a copy
// of this software and associated documentation files (the "Software"), to deal
// in the Software without restriction, including without limitation the rights
// to use, copy, modify, merge, publish, distribute, sublicense, and/or sell
// copies of the Software, and to permit persons to whom the Software is
// furnished to do so, subject to the following conditions:
//
// The above copyright notice and this permission notice shall be included in all
// copies or substantial portions of the Software.
//
// THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR
// IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY,
// FITNESS FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE
// AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER
// LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM,
// OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE
// SOFTWARE.
//
// Header-only, C++11. `quarrow::json` holds null, an object, an array, a
// string, a boolean or a number; it is read from text, walked, changed,
// compared and written back as text, and every misuse is reported by
// throwing one of the exceptions in quarrow::detail.

#ifndef QUARROW_JSON_HPP
#define QUARROW_JSON_HPP

#include <quarrow/config.hpp>
#include <quarrow/declarations.hpp>
#include <quarrow/exceptions.hpp>
#include <quarrow/options.hpp>
#include <quarrow/parse_result.hpp>
#include <quarrow/conversions.hpp>
#include <quarrow/mapping.hpp>
#include <quarrow/iterators.hpp>
#include <quarrow/basic_json.hpp>
#include <quarrow/detail/wide_arithmetic.hpp>
#include <quarrow/detail/bytes.hpp>
#include <quarrow/detail/utf8.hpp>
#include <quarrow/detail/pow10_table.hpp>
#include <quarrow/detail/big_integer.hpp>
#include <quarrow/detail/number_read.hpp>
#include <quarrow/detail/input.hpp>
#include <quarrow/detail/parser.hpp>
#include <quarrow/detail/value_builder.hpp>
#include <quarrow/detail/filter_builder.hpp>
#include <quarrow/detail/reading.hpp>
#include <quarrow/detail/number_write.hpp>
#include <quarrow/detail/writer.hpp>
#include <quarrow/detail/serializer.hpp>
#include <quarrow/json_pointer.hpp>
#include <quarrow/patch.hpp>
#include <quarrow/stream.hpp>
#include <quarrow/lines.hpp>
#include <quarrow/hash.hpp>

#endif // QUARROW_JSON_HPP
