# The program's pictures, drawn by tools/imagegen (trendora-imagegen writes them here).
qt_add_resources(trendora_res "trendora_images"
  PREFIX "/images"
  BASE ${CMAKE_CURRENT_LIST_DIR}
  FILES
    ${CMAKE_CURRENT_LIST_DIR}/bitmap128.png
    ${CMAKE_CURRENT_LIST_DIR}/bitmap131.png
    ${CMAKE_CURRENT_LIST_DIR}/bitmap134.png
    ${CMAKE_CURRENT_LIST_DIR}/icon128-16.png
    ${CMAKE_CURRENT_LIST_DIR}/icon128-32.png
    ${CMAKE_CURRENT_LIST_DIR}/icon128-256.png)
