cmake_minimum_required(VERSION 3.25)

# The layer check's verdicts on small graphs, one per fault it must find and
# one it must let pass. Run with: cmake -DSOURCE_DIR=<top> -P this file.
include(${SOURCE_DIR}/cmake/TavrixLayers.cmake)

set(failures 0)
function(expect_errors label expected)
  tavrix_layer_errors(found ${ARGN})
  list(LENGTH found count)
  if(NOT count EQUAL expected)
    message(SEND_ERROR "${label}: ${count} faults, expected ${expected}: ${found}")
  endif()
  set(last_errors "${found}" PARENT_SCOPE)
endfunction()
function(expect_mention label text)
  if(NOT last_errors MATCHES "${text}")
    message(SEND_ERROR "${label}: no mention of '${text}' in: ${last_errors}")
  endif()
endfunction()

# Downward links, links inside a layer and links to outside libraries pass.
expect_errors("clean graph" 0
  NODES corlane=0 platform=0 platform_ui=0 app=1 comm=2 model=3 replies=4
  EDGES app>corlane app>platform platform_ui>platform comm>app model>comm
        replies>model replies>comm model>Boost::boost app>Threads)

# Today's reply parsers: comm links the context above the model, which
# links comm back.
expect_errors("upward link and cycle" 2
  NODES app=1 comm=2 model=3 app_context=4
  EDGES comm>app comm>app_context model>comm model>app app_context>model)
expect_mention("upward link" "comm \\(layer 2\\) links app_context, which sits higher \\(layer 4\\)")
expect_mention("cycle" "a cycle of links among: app_context, comm, model")

# A cycle inside one layer breaks no order but is still found; the
# libraries that only link into it or hang below it are not named.
expect_errors("cycle within a layer" 1
  NODES a=1 b=1 c=2 d=0
  EDGES a>b b>a c>a a>d)
expect_mention("cycle within a layer" "among: a, b$")

# One upward link without a cycle.
expect_errors("upward link alone" 1
  NODES plan=5 builder=6
  EDGES plan>builder)
