-- arith N=10000000: a = a + i * 2 and b = a - i in every for step; prints b (N * N)
local a, b = 0, 0
for i = 1, 10000000 do
  a = a + i * 2
  b = a - i
end
print(b)
