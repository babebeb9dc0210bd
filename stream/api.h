#pragma once

// Streams: URLs and their factories, files and folders, memory banks, embedded files, text streams,
// sockets and HTTP.
// Everything a program may use of this library; its other headers are internal.

#include "stream/bank.h"
#include "stream/bank_stream.h"
#include "stream/directory.h"
#include "stream/embedded_files.h"
#include "stream/file_system.h"
#include "stream/host_names.h"
#include "stream/http_stream.h"
#include "stream/ram_stream.h"
#include "stream/socket.h"
#include "stream/socket_stream.h"
#include "stream/standard_io.h"
#include "stream/stream.h"
#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_factory.h"
#include "stream/stream_functions.h"
#include "stream/stream_module.h"
#include "stream/stream_utils.h"
#include "stream/stream_wrapper.h"
#include "stream/text_numbers.h"
#include "stream/text_stream.h"
#include "stream/whole_text.h"
#include "stream/xendian_stream.h"
